// The tick on Windows: the timer message (re-shape the window, read cursor and clock, run the
// tick, place the window) and the finer timer resolution the message loop runs with.
#pragma once

#include <windows.h>

#include "host/shared/window.h"
#include "tick/tick.h"

constexpr UINT_PTR kTickTimerId = 1;
constexpr UINT kTimerResolutionMs = 1;

// ---- The timer message --------------------------------------------------------------------------
// What one timer message does to the mascot window, and the cursor it falls back on.

// One timer tick on the mascot window, in this order: ApplyShape, GetCursorPos, GetTickCount,
// RunTick, SetWindowPos. While a popup menu of the window is open, the window moves without
// changing its place in the z-order.
void OnTimerTick(HWND window);

// The cursor position for this tick: `read` when GetCursorPos succeeded, otherwise the cursor
// the previous tick used (the target plus the 20 pixels the tick took off).
POINT CursorOrLastKnown(BOOL readOk, POINT read);

// ---- The timer resolution -----------------------------------------------------------------------
// The 1 ms timer resolution that the message loop holds while it runs.

// Raises the process's timer resolution to 1 ms for as long as it lives. Windows 10 (2004 and
// later) and 11 otherwise deliver a 10 ms SetTimer on the system tick, about every 15.6 ms, and
// the motion, which makes a key frame every tenth timer message, would run a third too slow.
class CTimerResolution {
public:
    CTimerResolution();
    ~CTimerResolution();
    CTimerResolution(const CTimerResolution&) = delete;
    CTimerResolution& operator=(const CTimerResolution&) = delete;

private:
    bool m_raised;  // timeEndPeriod only matches a timeBeginPeriod that succeeded
};
