// Finer timer messages while the message loop runs: the system timer resolution raised to 1 ms.
#pragma once

#include <windows.h>

constexpr UINT kTimerResolutionMs = 1;

// Raises the process's timer resolution for as long as it lives. Windows 10 (2004 and later)
// and 11 otherwise deliver a 10 ms SetTimer on the system tick, about every 15.6 ms, and the
// motion, which makes a key frame every tenth timer message, would run a third too slow.
class CTimerResolution {
public:
    CTimerResolution();
    ~CTimerResolution();
    CTimerResolution(const CTimerResolution&) = delete;
    CTimerResolution& operator=(const CTimerResolution&) = delete;

private:
    bool m_raised;  // timeEndPeriod only matches a timeBeginPeriod that succeeded
};
