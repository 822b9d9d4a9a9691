// The tick on Windows: the timer handler around RunTick, the platform calls of one tick in their
// fixed order, and CTimerResolution, timeBeginPeriod when made and the matching timeEndPeriod when
// it goes.
#include "host/win32/tick.h"

#include <mmsystem.h>

#include "engine/geometry.h"
#include "engine/numeric.h"
#include "host/shared/globals.h"
#include "host/win32/shape.h"
#include "host/win32/window.h"

// ---- The timer message --------------------------------------------------------------------------
// The platform calls of one tick, in their fixed order, around the portable RunTick.

void OnTimerTick(HWND window) {
    // The shape never changes, yet every tick builds it anew and gives it to the window, on
    // purpose: a region taken from the window comes back within a tick, and the handle under the
    // "region" property changes once a tick, which is how tools outside the process see the
    // mascot tick (tests/e2e's probe; under Wine each tick reaches X as one ShapeNotify, the
    // monkey's heartbeat). docs/performance.md has what it costs.
    ApplyShape(window, g_host.m_mascotBitmap);
    POINT cursor = {};
    BOOL readOk = GetCursorPos(&cursor);
    cursor = CursorOrLastKnown(readOk, cursor);
    DWORD nowMs = GetTickCount();
    TickPlacement placement = RunTick(cursor.x, cursor.y, nowMs);
    HWND insertAfter = placement.topmost ? HWND_TOPMOST : HWND_BOTTOM;
    UINT flags = SWP_SHOWWINDOW | SWP_NOACTIVATE;
    // On Windows the open popup menu is not owned by the mascot: lifting the mascot to the top
    // of the topmost windows would cover the menu. It moves on, and its place in the z-order is
    // applied again on the first tick after the menu has closed.
    if (g_host.m_menuOpen) flags |= SWP_NOZORDER;
    SetWindowPos(window, insertAfter, placement.x, placement.y, kWindowSize, kWindowSize, flags);
}

POINT CursorOrLastKnown(BOOL readOk, POINT read) {
    if (readOk) return read;
    // While the desktop is locked, for one, there is no cursor to read: keep the last target.
    POINT last = {SaturateToInt(g_mascot.m_targetX + kHalfImage),
                  SaturateToInt(g_mascot.m_targetY + kHalfImage)};
    return last;
}

// ---- The timer resolution -----------------------------------------------------------------------
// timeBeginPeriod when the object is made, the matching timeEndPeriod when it goes.

CTimerResolution::CTimerResolution()
    : m_raised(timeBeginPeriod(kTimerResolutionMs) == TIMERR_NOERROR) {}

CTimerResolution::~CTimerResolution() {
    if (m_raised) timeEndPeriod(kTimerResolutionMs);
}
