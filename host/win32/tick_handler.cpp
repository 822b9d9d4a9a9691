// The timer handler around RunTick: the platform calls of one tick, in their fixed order.
#include "host/win32/tick_handler.h"

#include "engine/numeric.h"
#include "host/tick.h"
#include "host/win32/host_state.h"
#include "host/win32/region.h"

namespace {

constexpr double kImageCentre = 20.0;  // the tick aims the image's centre at the cursor

}  // namespace

POINT CursorOrLastKnown(BOOL readOk, POINT read) {
    if (readOk) return read;
    // While the desktop is locked, for one, there is no cursor to read: keep the last target.
    POINT last = {SaturateToInt(g_mascot.m_targetX + kImageCentre),
                  SaturateToInt(g_mascot.m_targetY + kImageCentre)};
    return last;
}

void OnTimerTick(HWND window) {
    ApplyShape(window, g_mascotBitmap);
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
    if (g_menuOpen) flags |= SWP_NOZORDER;
    SetWindowPos(window, insertAfter, placement.x, placement.y, kWindowSize, kWindowSize, flags);
}
