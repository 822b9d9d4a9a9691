// What the mascot reads of the desktop around it: whether a window manager runs, the root's
// children as they stand, and the desktop's own window (type _NET_WM_WINDOW_TYPE_DESKTOP),
// which the mascot stays above when it is behind every ordinary window.
#pragma once

#include <xcb/xcb.h>

#include <vector>

#include "host/x11/stacking.h"
#include "host/x11/x_display.h"

// True when an EWMH window manager runs: the root names a check window that names itself.
bool WindowManagerRuns(const CXDisplay& display);

// The root's children, lowest first, with their override-redirect flags and map states.
std::vector<CStackModel::CEntry> ReadRootStack(const CXDisplay& display);

// The child of the root that holds the viewable desktop window (the window itself, or the
// frame a window manager put around it), or XCB_NONE. Looks among the window manager's client
// list where there is one, otherwise among the root's children.
xcb_window_t FindDesktopTopLevel(const CXDisplay& display);
