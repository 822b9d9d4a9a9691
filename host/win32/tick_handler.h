// The timer message: re-shape the window, read cursor and clock, run the tick, place the window.
#pragma once

#include <windows.h>

#include "host/shared/window.h"
#include "tick/tick.h"

constexpr UINT_PTR kTickTimerId = 1;

// The cursor position for this tick: `read` when GetCursorPos succeeded, otherwise the cursor
// the previous tick used (the target plus the 20 pixels the tick took off).
POINT CursorOrLastKnown(BOOL readOk, POINT read);

// One timer tick on the mascot window, in this order: ApplyShape, GetCursorPos, GetTickCount,
// RunTick, SetWindowPos. While a popup menu of the window is open, the window moves without
// changing its place in the z-order.
void OnTimerTick(HWND window);
