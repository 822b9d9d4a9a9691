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
    SetWindowPos(window, insertAfter, placement.x, placement.y, kWindowSize, kWindowSize,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
}
