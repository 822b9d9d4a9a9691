// The tick thread: the 10 ms deadlines, one tick (the pointer, the core, the window and its
// stacking), and the thread's loop with the events and commands that reach it.
#pragma once

#include <time.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <functional>

#include "host/x11/command_channel.h"
#include "host/x11/mascot_window.h"
#include "host/x11/pointer_source.h"
#include "host/x11/stacking.h"

// ---- The clock and the deadlines ----------------------------------------------------------------
// The 10 ms tick as deadlines on the monotonic clock, which the tick thread's poll sleeps
// towards, and the millisecond clock the tick reads.

// Nanoseconds of the monotonic clock.
std::int64_t MonotonicNs();

class CTickTimer {
public:
    // The first deadline one period after `nowNs`; a period below 1 ms is taken as 1 ms.
    void Start(int periodMs, std::int64_t nowNs);
    // How long to sleep until the deadline: zero once it has passed.
    timespec Remaining(std::int64_t nowNs) const;
    // True when the deadline has passed; the next one is then a period after it, and ticks
    // missed meanwhile run as one (as WM_TIMER messages do on Windows): the next deadline is the
    // first one after `nowNs`. Deadlines stay on the grid of the first, so the period never
    // drifts with the time a tick takes.
    bool TakeDue(std::int64_t nowNs);

private:
    std::int64_t m_periodNs = 1000000;
    std::int64_t m_deadlineNs = 0;
};

// Milliseconds of the monotonic clock, wrapping at 2^32 like GetTickCount.
std::uint32_t NowMs();

// ---- The tick -----------------------------------------------------------------------------------
// One tick on X11: read the pointer, run the core's tick, move and restack the window; and what
// the tick needs to know of the desktop between ticks: whether a window manager runs, and,
// without one, the stacking order of the root's children, from their events.

class CTickDriver {
public:
    CTickDriver(CXDisplay& display, CMascotWindow& window);

    // Learns whether a window manager runs and listens to the root for what the tick needs.
    void Start();
    // Reads the newest pointer from `pushed` or else the X server (ReadNewestPointer); true when
    // that was a round trip, which also read the events that came before its reply.
    bool ReadPointer(const CPointerMailbox& pushed);
    // The core's tick on the pointer last read, and the window after it; the requests are
    // flushed at its end.
    void Tick();
    // A change of a window: the mascot's own, a child of the root, or the root's properties.
    void OnWindowEvent(const xcb_generic_event_t& event);
    // The server refused a request: a window it named may have gone.
    void OnRequestRefused();

private:
    void FollowWindowManager();
    void UseWindowManager(bool managed);
    void OnRootChild(const xcb_generic_event_t& event);
    bool FollowRootChild(const xcb_generic_event_t& event);
    void OnOwnWindow(const xcb_generic_event_t& event);
    CStackRequest Restack(bool topmost);

    CXDisplay& m_display;
    CMascotWindow& m_window;
    bool m_managed = false;      // a window manager keeps the window in its layer
    CStackModel m_stack;         // without a window manager: the root's children
    bool m_desktopStale = true;  // look for the desktop window before the next tick behind
    xcb_window_t m_desktop = XCB_NONE;
    int m_pointerX;  // the last position read: kept when the pointer cannot be read
    int m_pointerY;
};

// ---- The tick thread's loop ---------------------------------------------------------------------
// The thread polls only the mascot's socket and the menu's pipe, with the next tick's deadline as
// the timeout, so the 10 ms tick never passes through Qt's event loop. It owns the core (the
// globals), the mascot's X connection and the window from Run until it is joined; Qt's thread uses
// them only before (Prepare, ShowWindow) and after (DestroyWindow).

// What the tick thread hands to Qt's thread: each call only queues its work there.
struct CCallsToQt {
    std::function<void(int rootX, int rootY)> openMenu;  // the pointer is free again by then
    std::function<void()> end;                           // the exit command came
};

class CTickLoop {
public:
    // `menu`: the pipe whose receiving end the loop reads; Qt's thread sends and closes it.
    // `pushed`: the pointer that Qt's thread posts while a source in the compositor is live; the
    // loop marks in it whether it reads the pointer at all.
    CTickLoop(CXDisplay& display, CCommandPipe& menu, CPointerMailbox& pushed, CCallsToQt toQt);

    // Resets the motion, creates the window and learns the desktop; false when another mascot
    // runs on the display (it owns the mascot selection).
    bool Prepare();
    void ShowWindow();
    // The thread's body: ticks until the menu's pipe closes or the exit command comes.
    void Run();
    void DestroyWindow() { m_window.Destroy(); }

private:
    void OnSocketReadable();
    void OnTimer();
    void HandleReadEvents();
    void Handle(const xcb_generic_event_t& event);
    void OnButton(const xcb_button_press_event_t& press);
    void TakeMenuCommands();
    void OnXCommand(const CCommandMessage& command);
    void RunCommandId(std::uint16_t id);
    void CheckConnection();

    CXDisplay& m_display;
    CCommandPipe& m_menu;
    CPointerMailbox& m_pushed;
    CCallsToQt m_toQt;
    CMascotWindow m_window;
    CTickDriver m_ticks;
    CTickTimer m_timer;
    bool m_stopping = false;  // the exit command came: no more ticks
};
