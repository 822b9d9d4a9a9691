// How often timer messages really reach the mascot window: the intervals between them over a
// run of the message loop, with the timer resolution as the system has it or raised as the
// program raises it.
#pragma once

#include <windows.h>

struct CIntervalFigures {
    int count;  // intervals measured
    double medianMs;
    double p10Ms;  // 10th percentile
    double p90Ms;  // 90th percentile
};

// Runs a message loop for `seconds` and measures the intervals between the timer messages that
// reach `window`. With `raised`, the loop is the program's own (RunMessageLoop, which raises the
// timer resolution); otherwise a plain loop that leaves the resolution alone.
CIntervalFigures MeasureTickIntervals(HWND window, int seconds, bool raised);
