// One tick on X11: read the pointer, run the core's tick, move and restack the window; and
// what the tick needs to know of the desktop between ticks: whether a window manager runs,
// and, without one, the stacking order of the root's children, from their events.
#pragma once

#include <xcb/xcb.h>

#include "host/x11/mascot_window.h"
#include "host/x11/stacking.h"
#include "host/x11/x_display.h"

class CTickDriver {
public:
    CTickDriver(CXDisplay& display, CMascotWindow& window);

    // Learns whether a window manager runs and listens to the root for what the tick needs.
    void Start();
    // The whole tick; the requests are flushed at its end.
    void Tick();
    // A change of a window: the mascot's own, a child of the root, or the root's properties.
    void OnWindowEvent(const xcb_generic_event_t& event);
    // The server refused a request: a window it named may have gone.
    void OnRequestRefused();

private:
    void ReadPointer();
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
