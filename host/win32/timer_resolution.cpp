// CTimerResolution: timeBeginPeriod when made, the matching timeEndPeriod when it goes.
#include "host/win32/timer_resolution.h"

#include <mmsystem.h>

CTimerResolution::CTimerResolution()
    : m_raised(timeBeginPeriod(kTimerResolutionMs) == TIMERR_NOERROR) {}

CTimerResolution::~CTimerResolution() {
    if (m_raised) timeEndPeriod(kTimerResolutionMs);
}
