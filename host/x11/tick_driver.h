// The tick and the stacking: the 10 ms deadlines, the stacking order of the root's children and
// where the mascot goes in it, the events of the mascot's connection, and the tick itself.
#pragma once

#include <time.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "host/x11/command_channel.h"
#include "host/x11/mascot_window.h"
#include "host/x11/pointer_source.h"

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

// ---- The stacking order -------------------------------------------------------------------------
// Where the mascot window goes in the stacking order when no window manager keeps it there,
// decided apart from any X call from what the mascot's connection heard of the root's children.

enum class StackMode {
    Keep,          // leave the stacking order alone
    AboveSibling,  // just above `sibling`
    Bottom,        // below every other child of the root
};

struct CStackRequest {
    StackMode mode;
    std::uint32_t sibling;  // for AboveSibling; 0 otherwise
};

// The root's children, lowest first, as the events of the root's substructure tell them.
class CStackModel {
public:
    struct CEntry {
        std::uint32_t window;
        bool overrideRedirect;  // a popup, tooltip or screen locker: never covered by the mascot
        bool viewable;
    };

    void Reset(std::vector<CEntry> entries) { m_entries = std::move(entries); }
    void Clear() { m_entries.clear(); }
    // New children are created, and reparented ones arrive, on top of the stack.
    void Add(std::uint32_t window, bool overrideRedirect, bool viewable);
    void Remove(std::uint32_t window);
    // Just above `sibling`; at the bottom when `sibling` is 0 or unknown.
    void PlaceAbove(std::uint32_t window, std::uint32_t sibling);
    void PlaceOnTop(std::uint32_t window);
    void Map(std::uint32_t window, bool overrideRedirect);
    void Unmap(std::uint32_t window);

    const std::vector<CEntry>& Entries() const { return m_entries; }

private:
    std::vector<CEntry>::iterator Find(std::uint32_t window);

    std::vector<CEntry> m_entries;
};

// In front the window stays above every viewable ordinary window, yet under the
// override-redirect windows above it: its own menu, another program's popups, a screen locker.
// Behind, it sits just above the desktop's own window (0: there is none; then at the bottom),
// below every other ordinary window. Keep when it is where it belongs already.
CStackRequest DecideStacking(const CStackModel& stack, std::uint32_t self, bool topmost,
                             std::uint32_t desktopTopLevel);

// ---- The events of the mascot's connection ------------------------------------------------------
// Button presses on the window, command messages, changes of windows (its own, the root's
// children and properties), and errors of refused requests.

struct CXEventHandlers {
    std::function<void()> leftPress;
    std::function<void(int rootX, int rootY)> rightPress;  // the pointer is free again by then
    std::function<void(const CCommandMessage&)> command;
    std::function<void(const xcb_generic_event_t&)> windowChanged;
    std::function<void()> requestRefused;
};

// Handles every event waiting: only those xcb has already read when `readSocket` is false (after
// a round trip of the tick), and when it is true (the socket is readable) what one read of the
// socket gives as well; more than that keeps the socket readable for the next poll.
void DispatchXEvents(CXDisplay& display, const CXEventHandlers& handlers, bool readSocket);

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
