// MeasureTickIntervals: the window procedure is wrapped for the run to note when each timer
// message arrives; a thread timer ends the run.
#include "tick_intervals.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/win32/window.h"

namespace {

WNDPROC g_mascotProc = nullptr;
std::vector<LONGLONG> g_arrivals;  // performance counter at each timer message

LRESULT CALLBACK NoteTimerMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        g_arrivals.push_back(now.QuadPart);
    }
    return CallWindowProcA(g_mascotProc, window, message, wParam, lParam);
}

void CALLBACK EndRun(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    PostQuitMessage(0);
}

void RunPlainLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The value below which `share` of the sorted values lie (nearest rank).
double Percentile(const std::vector<double>& sorted, double share) {
    std::size_t rank = static_cast<std::size_t>(std::ceil(share * sorted.size()));
    return sorted[rank == 0 ? 0 : rank - 1];
}

CIntervalFigures Summarize() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> intervals;
    for (std::size_t i = 1; i < g_arrivals.size(); ++i) {
        intervals.push_back((g_arrivals[i] - g_arrivals[i - 1]) * 1000.0 / frequency.QuadPart);
    }
    if (intervals.empty()) return {0, 0.0, 0.0, 0.0};
    std::sort(intervals.begin(), intervals.end());
    return {static_cast<int>(intervals.size()), Percentile(intervals, 0.5),
            Percentile(intervals, 0.1), Percentile(intervals, 0.9)};
}

}  // namespace

CIntervalFigures MeasureTickIntervals(HWND window, int seconds, bool raised) {
    constexpr int kMostPerSecond = 1000;  // room enough: the timer cannot come more often
    g_arrivals.clear();
    g_arrivals.reserve(static_cast<std::size_t>(seconds) * kMostPerSecond);
    g_mascotProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoteTimerMessages)));
    SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000u, EndRun);
    if (raised) {
        RunMessageLoop();
    } else {
        RunPlainLoop();
    }
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_mascotProc));
    return Summarize();
}
