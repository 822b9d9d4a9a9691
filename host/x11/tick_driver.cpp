// The tick and the stacking: deadlines on the monotonic clock, the dispatch of the mascot
// connection's events, the stacking model and the decision made over it, the desktop as the tick
// reads it, and the tick itself.
#include "host/x11/tick_driver.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "host/shared/globals.h"
#include "host/shared/window.h"

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

// ---- The stacking order -------------------------------------------------------------------------

std::vector<CStackModel::CEntry>::iterator CStackModel::Find(std::uint32_t window) {
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [window](const CEntry& entry) { return entry.window == window; });
}

void CStackModel::Add(std::uint32_t window, bool overrideRedirect, bool viewable) {
    Remove(window);
    m_entries.push_back({window, overrideRedirect, viewable});
}

void CStackModel::Remove(std::uint32_t window) {
    auto found = Find(window);
    if (found != m_entries.end()) m_entries.erase(found);
}

void CStackModel::PlaceAbove(std::uint32_t window, std::uint32_t sibling) {
    auto found = Find(window);
    if (found == m_entries.end()) return;
    CEntry entry = *found;
    m_entries.erase(found);
    auto below = Find(sibling);
    m_entries.insert(below == m_entries.end() ? m_entries.begin() : below + 1, entry);
}

void CStackModel::PlaceOnTop(std::uint32_t window) {
    auto found = Find(window);
    if (found == m_entries.end()) return;
    CEntry entry = *found;
    m_entries.erase(found);
    m_entries.push_back(entry);
}

void CStackModel::Map(std::uint32_t window, bool overrideRedirect) {
    auto found = Find(window);
    if (found == m_entries.end()) return;
    found->viewable = true;
    found->overrideRedirect = overrideRedirect;
}

void CStackModel::Unmap(std::uint32_t window) {
    auto found = Find(window);
    if (found != m_entries.end()) found->viewable = false;
}

namespace {

using CEntries = std::vector<CStackModel::CEntry>;

bool IsOrdinary(const CStackModel::CEntry& entry) {
    return entry.viewable && !entry.overrideRedirect;
}

// The highest viewable ordinary window above `self`, or 0 when there is none.
std::uint32_t HighestOrdinaryAbove(const CEntries& entries, CEntries::const_iterator self) {
    std::uint32_t highest = 0;
    for (auto it = self + 1; it != entries.end(); ++it) {
        if (IsOrdinary(*it)) highest = it->window;
    }
    return highest;
}

// True when every viewable ordinary window below `self` is `desktop` (or there is none).
bool OnlyDesktopBelow(const CEntries& entries, CEntries::const_iterator self,
                      std::uint32_t desktop) {
    return std::none_of(entries.begin(), self, [desktop](const CStackModel::CEntry& entry) {
        return IsOrdinary(entry) && entry.window != desktop;
    });
}

}  // namespace

CStackRequest DecideStacking(const CStackModel& stack, std::uint32_t self, bool topmost,
                             std::uint32_t desktopTopLevel) {
    const CEntries& entries = stack.Entries();
    auto me =
        std::find_if(entries.begin(), entries.end(),
                     [self](const CStackModel::CEntry& entry) { return entry.window == self; });
    if (me == entries.end()) return {StackMode::Keep, 0};
    if (topmost) {
        std::uint32_t cover = HighestOrdinaryAbove(entries, me);
        return cover == 0 ? CStackRequest{StackMode::Keep, 0}
                          : CStackRequest{StackMode::AboveSibling, cover};
    }
    auto desktop = std::find_if(entries.begin(), entries.end(),
                                [desktopTopLevel](const CStackModel::CEntry& entry) {
                                    return entry.window == desktopTopLevel;
                                });
    bool desktopBelow = desktop == entries.end() || desktop < me;
    if (desktopBelow && OnlyDesktopBelow(entries, me, desktopTopLevel)) return {StackMode::Keep, 0};
    if (desktop == entries.end()) return {StackMode::Bottom, 0};
    return {StackMode::AboveSibling, desktopTopLevel};
}

// ---- The events of the mascot's connection ------------------------------------------------------

namespace {

constexpr std::uint8_t kLeftButton = 1;
constexpr std::uint8_t kRightButton = 3;

// The press grabbed the pointer for this connection until the release; the menu, on the
// toolkit's connection, needs its own grab, so this one is given up first, and a round trip
// makes sure the server has done so before the menu asks.
void ReleasePointer(xcb_connection_t* c) {
    xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

void OnButton(CXDisplay& display, const xcb_button_press_event_t* press,
              const CXEventHandlers& handlers) {
    if (press->detail == kLeftButton) handlers.leftPress();
    if (press->detail != kRightButton) return;
    ReleasePointer(display.Connection());
    handlers.rightPress(press->root_x, press->root_y);
}

void OnClientMessage(CXDisplay& display, const xcb_client_message_event_t* message,
                     const CXEventHandlers& handlers) {
    if (message->type != display.Atoms().command || message->format != 32) return;
    std::uint32_t data[kMessageWords];
    for (int i = 0; i < kMessageWords; ++i) data[i] = message->data.data32[i];
    std::optional<CCommandMessage> command = DecodeCommandMessage(data);
    if (command) handlers.command(*command);
}

void Dispatch(CXDisplay& display, xcb_generic_event_t* event, const CXEventHandlers& handlers) {
    switch (event->response_type & ~kSentEventFlag) {
    case 0: handlers.requestRefused(); break;
    case XCB_BUTTON_PRESS:
        OnButton(display, reinterpret_cast<xcb_button_press_event_t*>(event), handlers);
        break;
    case XCB_CLIENT_MESSAGE:
        OnClientMessage(display, reinterpret_cast<xcb_client_message_event_t*>(event), handlers);
        break;
    case XCB_CONFIGURE_NOTIFY:
    case XCB_MAP_NOTIFY:
    case XCB_UNMAP_NOTIFY:
    case XCB_CREATE_NOTIFY:
    case XCB_DESTROY_NOTIFY:
    case XCB_REPARENT_NOTIFY:
    case XCB_CIRCULATE_NOTIFY:
    case XCB_PROPERTY_NOTIFY: handlers.windowChanged(*event); break;
    default: break;
    }
}

}  // namespace

void DispatchXEvents(CXDisplay& display, const CXEventHandlers& handlers, bool readSocket) {
    xcb_connection_t* c = display.Connection();
    // One read: reading on until the socket is empty would cost a failed read every time.
    xcb_generic_event_t* event = readSocket ? xcb_poll_for_event(c) : xcb_poll_for_queued_event(c);
    while (event) {
        Dispatch(display, event, handlers);
        std::free(event);
        event = xcb_poll_for_queued_event(c);
    }
}

// ---- The desktop as the tick reads it -----------------------------------------------------------
// Whether a window manager runs (its check window), the root's children as they stand, and the
// desktop's own window (type _NET_WM_WINDOW_TYPE_DESKTOP), which the mascot stays above when it is
// behind every ordinary window: candidates, their types and map states in one round of requests,
// then up the tree to the root's child.

namespace {

constexpr std::uint32_t kMaxListLength = 4096;  // 32-bit items read from a window list

// Errors are taken with the reply: a window that has gone meanwhile is no fault of the mascot's,
// and must not reach its event queue, where an error means a refused request of its own.
template <typename Reply, typename Cookie>
Reply* ReplyOrNull(Reply* (*get)(xcb_connection_t*, Cookie, xcb_generic_error_t**),
                   xcb_connection_t* c, Cookie cookie) {
    xcb_generic_error_t* error = nullptr;
    Reply* reply = get(c, cookie, &error);
    std::free(error);
    return reply;
}

std::vector<xcb_window_t> ClientList(const CXDisplay& display) {
    xcb_connection_t* c = display.Connection();
    xcb_get_property_reply_t* reply =
        ReplyOrNull(xcb_get_property_reply, c,
                    xcb_get_property(c, 0, display.Root(), display.Atoms().netClientList,
                                     XCB_ATOM_WINDOW, 0, kMaxListLength));
    std::vector<xcb_window_t> windows;
    if (reply && reply->format == 32) {
        auto* items = static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
        windows.assign(items, items + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return windows;
}

std::vector<xcb_window_t> RootChildren(const CXDisplay& display) {
    xcb_connection_t* c = display.Connection();
    xcb_query_tree_reply_t* reply =
        ReplyOrNull(xcb_query_tree_reply, c, xcb_query_tree(c, display.Root()));
    std::vector<xcb_window_t> windows;
    if (reply) {
        xcb_window_t* children = xcb_query_tree_children(reply);
        windows.assign(children, children + xcb_query_tree_children_length(reply));
    }
    std::free(reply);
    return windows;
}

// The window that `window`'s _NET_SUPPORTING_WM_CHECK names, or XCB_NONE.
xcb_window_t CheckWindowOf(const CXDisplay& display, xcb_window_t window) {
    xcb_connection_t* c = display.Connection();
    xcb_get_property_reply_t* reply =
        ReplyOrNull(xcb_get_property_reply, c,
                    xcb_get_property(c, 0, window, display.Atoms().netSupportingWmCheck,
                                     XCB_ATOM_WINDOW, 0, 1));
    xcb_window_t named = XCB_NONE;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 4) {
        named = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
    }
    std::free(reply);
    return named;
}

bool HasType(xcb_get_property_reply_t* reply, xcb_atom_t type) {
    if (!reply || reply->format != 32) return false;
    auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    int count = xcb_get_property_value_length(reply) / 4;
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == type) return true;
    }
    return false;
}

// The first viewable candidate of the desktop type; the requests all go out before the first
// answer is read.
xcb_window_t FirstViewableDesktop(const CXDisplay& display,
                                  const std::vector<xcb_window_t>& candidates) {
    xcb_connection_t* c = display.Connection();
    const CAtoms& atoms = display.Atoms();
    std::vector<xcb_get_property_cookie_t> types;
    std::vector<xcb_get_window_attributes_cookie_t> states;
    for (xcb_window_t window : candidates) {
        types.push_back(
            xcb_get_property(c, 0, window, atoms.netWmWindowType, XCB_ATOM_ATOM, 0, 32));
        states.push_back(xcb_get_window_attributes(c, window));
    }
    xcb_window_t found = XCB_NONE;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        xcb_get_property_reply_t* type = ReplyOrNull(xcb_get_property_reply, c, types[i]);
        xcb_get_window_attributes_reply_t* state =
            ReplyOrNull(xcb_get_window_attributes_reply, c, states[i]);
        if (found == XCB_NONE && HasType(type, atoms.netWmWindowTypeDesktop) && state &&
            state->map_state == XCB_MAP_STATE_VIEWABLE) {
            found = candidates[i];
        }
        std::free(type);
        std::free(state);
    }
    return found;
}

xcb_window_t TopLevelOf(const CXDisplay& display, xcb_window_t window) {
    xcb_connection_t* c = display.Connection();
    while (window != XCB_NONE) {
        xcb_query_tree_reply_t* reply =
            ReplyOrNull(xcb_query_tree_reply, c, xcb_query_tree(c, window));
        xcb_window_t parent = reply ? reply->parent : XCB_NONE;
        std::free(reply);
        if (parent == display.Root()) return window;
        window = parent;
    }
    return XCB_NONE;
}

// True when an EWMH window manager runs: the root names a check window that names itself.
bool WindowManagerRuns(const CXDisplay& display) {
    xcb_window_t check = CheckWindowOf(display, display.Root());
    return check != XCB_NONE && CheckWindowOf(display, check) == check;
}

// The root's children, lowest first, with their override-redirect flags and map states.
std::vector<CStackModel::CEntry> ReadRootStack(const CXDisplay& display) {
    xcb_connection_t* c = display.Connection();
    std::vector<xcb_window_t> children = RootChildren(display);
    std::vector<xcb_get_window_attributes_cookie_t> cookies;
    cookies.reserve(children.size());
    for (xcb_window_t window : children) cookies.push_back(xcb_get_window_attributes(c, window));
    std::vector<CStackModel::CEntry> entries;
    for (std::size_t i = 0; i < children.size(); ++i) {
        xcb_get_window_attributes_reply_t* state =
            ReplyOrNull(xcb_get_window_attributes_reply, c, cookies[i]);
        if (state) {
            entries.push_back({children[i], state->override_redirect != 0,
                               state->map_state == XCB_MAP_STATE_VIEWABLE});
        }
        std::free(state);
    }
    return entries;
}

// The child of the root that holds the viewable desktop window (the window itself, or the
// frame a window manager put around it), or XCB_NONE. Looks among the window manager's client
// list where there is one, otherwise among the root's children.
xcb_window_t FindDesktopTopLevel(const CXDisplay& display) {
    std::vector<xcb_window_t> candidates = ClientList(display);
    if (candidates.empty()) candidates = RootChildren(display);
    xcb_window_t desktop = FirstViewableDesktop(display, candidates);
    return desktop == XCB_NONE ? XCB_NONE : TopLevelOf(display, desktop);
}

}  // namespace

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
    switch (event.response_type & ~kSentEventFlag) {
    case XCB_CREATE_NOTIFY: {
        auto& created = reinterpret_cast<const xcb_create_notify_event_t&>(event);
        m_stack.Add(created.window, created.override_redirect, false);
        return;
    }
    case XCB_CONFIGURE_NOTIFY: {
        auto& configured = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
        m_stack.PlaceAbove(configured.window, configured.above_sibling);
        return;
    }
    case XCB_CIRCULATE_NOTIFY: {
        auto& circulated = reinterpret_cast<const xcb_circulate_notify_event_t&>(event);
        if (circulated.place == XCB_PLACE_ON_TOP) m_stack.PlaceOnTop(circulated.window);
        if (circulated.place == XCB_PLACE_ON_BOTTOM) m_stack.PlaceAbove(circulated.window, 0);
        return;
    }
    case XCB_MAP_NOTIFY: {
        auto& mapped = reinterpret_cast<const xcb_map_notify_event_t&>(event);
        m_stack.Map(mapped.window, mapped.override_redirect);
        break;
    }
    case XCB_UNMAP_NOTIFY: {
        m_stack.Unmap(reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window);
        break;
    }
    case XCB_DESTROY_NOTIFY:
        m_stack.Remove(reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window);
        break;
    case XCB_REPARENT_NOTIFY: {
        auto& reparented = reinterpret_cast<const xcb_reparent_notify_event_t&>(event);
        if (reparented.parent == m_display.Root()) {
            m_stack.Add(reparented.window, reparented.override_redirect, false);
        } else {
            m_stack.Remove(reparented.window);
        }
        break;
    }
    default: return;
    }
    m_desktopStale = true;  // a window came, went, showed or hid: maybe the desktop's
}

void CTickDriver::OnRequestRefused() {
    m_desktopStale = true;
    if (!m_managed) m_stack.Reset(ReadRootStack(m_display));
}
