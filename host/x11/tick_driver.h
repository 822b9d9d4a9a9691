// One tick on X11: read the pointer, run the core's tick, move and restack the window.
#pragma once

#include <xcb/xcb.h>

#include "host/x11/mascot_window.h"
#include "host/x11/stacking.h"
#include "host/x11/x_display.h"

class CTickDriver {
public:
    CTickDriver(CXDisplay& display, CMascotWindow& window);

    // The whole tick; the requests are flushed at its end.
    void Tick();
    void SetMenuOpen(bool open) { m_menuOpen = open; }
    // The server refused a request: the desktop window it named may have gone.
    void OnRequestRefused() { m_lookup.Forget(); }

private:
    void ReadPointer();

    CXDisplay& m_display;
    CMascotWindow& m_window;
    CDesktopLookupSchedule m_lookup;
    xcb_window_t m_desktop = XCB_NONE;
    bool m_menuOpen = false;
    int m_pointerX;  // the last position read: kept when the pointer cannot be read
    int m_pointerY;
};
