// The tick thread: deadlines on the monotonic clock, the tick with the desktop's events that
// decide its stacking, and the loop that runs it with the events and commands it dispatches.
#include "host/x11/tick_driver.h"

#include <poll.h>

#include <cstdint>
#include <cstdlib>
#include <utility>

#include "host/shared/globals.h"
#include "host/shared/window.h"
#include "tick/tick.h"

// ---- The clock and the deadlines ----------------------------------------------------------------
// Deadlines instead of a timer descriptor: the poll's own timeout wakes the thread, so a tick
// costs no read of expirations.

namespace {

constexpr std::int64_t kNsPerMs = 1000000;
constexpr std::int64_t kNsPerSecond = 1000000000;

}  // namespace

std::int64_t MonotonicNs() {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * kNsPerSecond + now.tv_nsec;
}

void CTickTimer::Start(int periodMs, std::int64_t nowNs) {
    m_periodNs = static_cast<std::int64_t>(periodMs < 1 ? 1 : periodMs) * kNsPerMs;
    m_deadlineNs = nowNs + m_periodNs;
}

timespec CTickTimer::Remaining(std::int64_t nowNs) const {
    std::int64_t left = m_deadlineNs > nowNs ? m_deadlineNs - nowNs : 0;
    timespec sleep = {};
    sleep.tv_sec = static_cast<time_t>(left / kNsPerSecond);
    sleep.tv_nsec = static_cast<long>(left % kNsPerSecond);
    return sleep;
}

bool CTickTimer::TakeDue(std::int64_t nowNs) {
    if (nowNs < m_deadlineNs) return false;
    m_deadlineNs += ((nowNs - m_deadlineNs) / m_periodNs + 1) * m_periodNs;
    return true;
}

std::uint32_t NowMs() {
    // The low 32 bits of the milliseconds: wraps every 49.7 days.
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(MonotonicNs()) /
                                      static_cast<std::uint64_t>(kNsPerMs));
}

// ---- The tick -----------------------------------------------------------------------------------
// One pointer query (a round trip, as every X pointer reader makes), the core, at most one
// configure request; and the desktop's events that decide the stacking between ticks.

CTickDriver::CTickDriver(CXDisplay& display, CMascotWindow& window)
    : m_display(display),
      m_window(window),
      // Before the first reading: the mascot's own centre.
      m_pointerX(kWindowStartX + static_cast<int>(kHalfImage)),
      m_pointerY(kWindowStartY + static_cast<int>(kHalfImage)) {}

void CTickDriver::Start() { UseWindowManager(WindowManagerRuns(m_display)); }

// A window manager that starts, ends or is replaced changes the root's check property. With one,
// it keeps the layers and the root's traffic is none of the mascot's business; without one, the
// mascot follows every change of the root's children, so that it restacks only when one of them
// came over it (in front) or under it (behind).
void CTickDriver::FollowWindowManager() {
    bool managed = WindowManagerRuns(m_display);
    if (managed != m_managed) UseWindowManager(managed);
}

void CTickDriver::UseWindowManager(bool managed) {
    m_managed = managed;
    std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    if (!managed) mask |= XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_display.Connection(), m_display.Root(), XCB_CW_EVENT_MASK,
                                 &mask);
    m_stack.Clear();
    if (!managed) m_stack.Reset(ReadRootStack(m_display));
    m_desktopStale = true;
}

bool CTickDriver::ReadPointer(const CPointerMailbox& pushed) {
    return ReadNewestPointer(pushed, m_display.Connection(), m_display.Root(), m_pointerX,
                             m_pointerY);
}

void CTickDriver::Tick() {
    TickPlacement placement = RunTick(m_pointerX, m_pointerY, NowMs());
    m_window.SetLayer(placement.topmost, m_managed);
    CStackRequest stack =
        m_managed ? CStackRequest{StackMode::Keep, 0} : Restack(placement.topmost);
    m_window.Place(placement.x, placement.y, stack);
    xcb_flush(m_display.Connection());
}

// The model follows the request at once, so that the next tick does not ask again before the
// server's notice arrives.
CStackRequest CTickDriver::Restack(bool topmost) {
    if (!topmost && m_desktopStale) {
        m_desktop = FindDesktopTopLevel(m_display);
        m_desktopStale = false;
    }
    CStackRequest stack = DecideStacking(m_stack, m_window.Id(), topmost, m_desktop);
    if (stack.mode == StackMode::AboveSibling) m_stack.PlaceAbove(m_window.Id(), stack.sibling);
    if (stack.mode == StackMode::Bottom) m_stack.PlaceAbove(m_window.Id(), 0);
    return stack;
}

void CTickDriver::OnWindowEvent(const xcb_generic_event_t& event) {
    std::uint8_t type = event.response_type & ~kSentEventFlag;
    if (type == XCB_PROPERTY_NOTIFY) {
        auto& property = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (property.atom == m_display.Atoms().netSupportingWmCheck) FollowWindowManager();
        return;
    }
    // The first field after the sequence number is the window the event was reported on.
    xcb_window_t reportedOn = reinterpret_cast<const xcb_configure_notify_event_t&>(event).event;
    if (reportedOn == m_window.Id()) {
        OnOwnWindow(event);
    } else if (reportedOn == m_display.Root() && !m_managed) {
        OnRootChild(event);
    }
}

void CTickDriver::OnOwnWindow(const xcb_generic_event_t& event) {
    bool synthetic = (event.response_type & kSentEventFlag) != 0;
    switch (event.response_type & ~kSentEventFlag) {
    case XCB_CONFIGURE_NOTIFY:
        m_window.OnConfigured(reinterpret_cast<const xcb_configure_notify_event_t&>(event),
                              synthetic);
        break;
    case XCB_MAP_NOTIFY: m_window.OnMapped(true); break;
    case XCB_UNMAP_NOTIFY:
        if (!synthetic) m_window.OnMapped(false);
        break;
    case XCB_REPARENT_NOTIFY:
        m_window.OnReparented(reinterpret_cast<const xcb_reparent_notify_event_t&>(event).parent);
        break;
    default: break;
    }
}

void CTickDriver::OnRootChild(const xcb_generic_event_t& event) {
    if (FollowRootChild(event)) m_desktopStale = true;
}

// The model follows the event; true when a window came, went, showed or hid: maybe the desktop's
// window, which only a viewable window can be (a new child is not yet, a restacked one is still
// the same).
bool CTickDriver::FollowRootChild(const xcb_generic_event_t& event) {
    switch (event.response_type & ~kSentEventFlag) {
    case XCB_CREATE_NOTIFY: {
        auto& created = reinterpret_cast<const xcb_create_notify_event_t&>(event);
        m_stack.Add(created.window, created.override_redirect, false);
        return false;
    }
    case XCB_CONFIGURE_NOTIFY: {
        auto& configured = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
        m_stack.PlaceAbove(configured.window, configured.above_sibling);
        return false;
    }
    case XCB_CIRCULATE_NOTIFY: {
        auto& circulated = reinterpret_cast<const xcb_circulate_notify_event_t&>(event);
        if (circulated.place == XCB_PLACE_ON_TOP) m_stack.PlaceOnTop(circulated.window);
        if (circulated.place == XCB_PLACE_ON_BOTTOM) m_stack.PlaceAbove(circulated.window, 0);
        return false;
    }
    case XCB_MAP_NOTIFY: {
        auto& mapped = reinterpret_cast<const xcb_map_notify_event_t&>(event);
        m_stack.Map(mapped.window, mapped.override_redirect);
        return true;
    }
    case XCB_UNMAP_NOTIFY:
        m_stack.Unmap(reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window);
        return true;
    case XCB_DESTROY_NOTIFY:
        m_stack.Remove(reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window);
        return true;
    case XCB_REPARENT_NOTIFY: {
        auto& reparented = reinterpret_cast<const xcb_reparent_notify_event_t&>(event);
        if (reparented.parent == m_display.Root()) {
            m_stack.Add(reparented.window, reparented.override_redirect, false);
        } else {
            m_stack.Remove(reparented.window);
        }
        return true;
    }
    default: return false;
    }
}

void CTickDriver::OnRequestRefused() {
    m_desktopStale = true;
    if (!m_managed) m_stack.Reset(ReadRootStack(m_display));
}

// ---- The tick thread's loop ---------------------------------------------------------------------

namespace {

constexpr int kIdsPerRead = 16;
constexpr std::uint8_t kLeftButton = 1;
constexpr std::uint8_t kRightButton = 3;

}  // namespace

CTickLoop::CTickLoop(CXDisplay& display, CCommandPipe& menu, CPointerMailbox& pushed,
                     CCallsToQt toQt)
    : m_display(display),
      m_menu(menu),
      m_pushed(pushed),
      m_toQt(std::move(toQt)),
      m_window(display),
      m_ticks(display, m_window) {}

bool CTickLoop::Prepare() {
    ResetMotion();
    m_window.Create(LoadMascotImage());
    if (!m_window.ClaimMascotSelection()) return false;
    m_ticks.Start();
    return true;
}

void CTickLoop::ShowWindow() {
    m_window.Show();
    xcb_flush(m_display.Connection());
}

void CTickLoop::Run() {
    pollfd watched[] = {
        {m_menu.ReadFd(), POLLIN, 0},
        {xcb_get_file_descriptor(m_display.Connection()), POLLIN, 0},
    };
    pollfd& menu = watched[0];
    pollfd& socket = watched[1];
    m_timer.Start(static_cast<int>(kTickMs), MonotonicNs());
    while (!m_stopping) {
        // While a mode runs and the X server gives the pointer, every tick reads the socket
        // within 10 ms through its pointer query; the events (above all the notice of each move)
        // wait for that read instead of waking the thread once more per tick. A closed socket
        // still wakes it (POLLHUP).
        socket.events = ModeRuns() && !m_pushed.Live() ? 0 : POLLIN;
        timespec sleep = m_timer.Remaining(MonotonicNs());
        if (ppoll(watched, 2, &sleep, nullptr) < 0) continue;  // EINTR
        if (socket.revents != 0) OnSocketReadable();
        if (menu.revents != 0) TakeMenuCommands();
        if (!m_stopping && m_timer.TakeDue(MonotonicNs())) OnTimer();
    }
}

// One read of the socket: reading on until it is empty would cost a failed read every time, and
// what is left keeps it readable for the next poll.
void CTickLoop::OnSocketReadable() {
    if (xcb_generic_event_t* event = xcb_poll_for_event(m_display.Connection())) {
        Handle(*event);
        std::free(event);
        HandleReadEvents();
    }
    CheckConnection();
}

// Without a mode the pointer is not read: the core would not use it (ModeRuns), and the idle
// tick then sends nothing at all, nor has a source ask the compositor on its behalf.
void CTickLoop::OnTimer() {
    m_pushed.SetWanted(ModeRuns());
    if (ModeRuns() && m_ticks.ReadPointer(m_pushed)) {
        // What came before the reply, as if the socket had been watched: a command among it
        // acts on this tick.
        HandleReadEvents();
        if (m_stopping) return;
    }
    m_ticks.Tick();
    // A flush reads whatever waits on the socket too.
    HandleReadEvents();
    CheckConnection();
}

// The events xcb has read off the socket already (with a reply or a flush), without reading it.
void CTickLoop::HandleReadEvents() {
    while (xcb_generic_event_t* event = xcb_poll_for_queued_event(m_display.Connection())) {
        Handle(*event);
        std::free(event);
    }
}

void CTickLoop::Handle(const xcb_generic_event_t& event) {
    switch (event.response_type & ~kSentEventFlag) {
    case 0: m_ticks.OnRequestRefused(); break;
    case XCB_BUTTON_PRESS:
        OnButton(reinterpret_cast<const xcb_button_press_event_t&>(event));
        break;
    case XCB_CLIENT_MESSAGE:
        if (auto command = CommandMessageOf(event, m_display.Atoms().command)) OnXCommand(*command);
        break;
    case XCB_CONFIGURE_NOTIFY:
    case XCB_MAP_NOTIFY:
    case XCB_UNMAP_NOTIFY:
    case XCB_CREATE_NOTIFY:
    case XCB_DESTROY_NOTIFY:
    case XCB_REPARENT_NOTIFY:
    case XCB_CIRCULATE_NOTIFY:
    case XCB_PROPERTY_NOTIFY: m_ticks.OnWindowEvent(event); break;
    default: break;
    }
}

// The press grabbed the pointer for this connection until the release; the menu, on Qt's
// connection, needs its own grab, so this one is given up first, and a round trip makes sure the
// server has done so before the menu asks.
void CTickLoop::OnButton(const xcb_button_press_event_t& press) {
    if (press.detail == kLeftButton) DuckOnClick();
    if (press.detail != kRightButton) return;
    xcb_connection_t* c = m_display.Connection();
    xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    m_toQt.openMenu(press.root_x, press.root_y);
}

void CTickLoop::TakeMenuCommands() {
    std::uint16_t ids[kIdsPerRead];
    int count = m_menu.Receive(ids, kIdsPerRead);
    if (count < 0) m_stopping = true;  // Qt's thread is ending the program
    for (int i = 0; i < count && !m_stopping; ++i) RunCommandId(ids[i]);
}

void CTickLoop::OnXCommand(const CCommandMessage& command) {
    AnswerCommand(m_display, command);
    if (!m_stopping) RunCommandId(command.id);
}

void CTickLoop::RunCommandId(std::uint16_t id) {
    if (RunCommand(id) != CommandResult::Exit) return;
    FinishCommand();
    m_stopping = true;
    m_toQt.end();
}

void CTickLoop::CheckConnection() {
    if (m_display.Broken()) EndOnLostDisplay();
}
