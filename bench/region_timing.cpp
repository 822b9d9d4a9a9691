// Prints how long the shape and the tick take on this machine (one BuildRegionFromBitmap, one
// ApplyShape and one whole timer message, averaged over a few thousand calls), and how often the
// timer messages really come: the median, 10th and 90th percentile of their intervals over 10 s,
// with the timer resolution as the system has it and as the program raises it. With the argument
// "intervals" only the latter. Figures only: it asserts nothing. Run it where the window can be
// shown (under Wine: inside Xvfb).
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "host/shared/globals.h"
#include "host/win32/shape.h"
#include "host/win32/window.h"
#include "resources/resource_ids.h"
#include "tick_intervals.h"

namespace {

constexpr int kCalls = 3000;
constexpr int kIntervalSeconds = 10;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

template <typename Call>
void Report(const char* what, Call call) {
    for (int i = 0; i < kCalls / 10; ++i) call();  // warm up
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kCalls; ++i) call();
    QueryPerformanceCounter(&end);
    std::printf("%-34s %9.1f us per call (%d calls)\n", what, Seconds(start, end) / kCalls * 1e6,
                kCalls);
}

void ReportCallTimes(HWND window) {
    Report("BuildRegionFromBitmap (mascot)", [] {
        DeleteObject(BuildRegionFromBitmap(g_host.m_mascotBitmap, kTransparentFromBottomLeft));
    });
    Report("ApplyShape (mascot window)", [window] { ApplyShape(window, g_host.m_mascotBitmap); });
    Report("timer message (whole tick)", [window] { SendMessageA(window, WM_TIMER, 1, 0); });
}

void ReportIntervals(HWND window, bool raised) {
    CIntervalFigures figures = MeasureTickIntervals(window, kIntervalSeconds, raised);
    std::printf(
        "tick interval, %-26s median %5.2f ms, 10th pct %5.2f ms, 90th pct %5.2f ms"
        " (%d intervals in %d s)\n",
        raised ? "resolution raised (1 ms):" : "resolution as it is:", figures.medianMs,
        figures.p10Ms, figures.p90Ms, figures.count, kIntervalSeconds);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    bool intervalsOnly = argc == 2 && std::strcmp(argv[1], "intervals") == 0;
    g_host.m_instance = GetModuleHandleA(nullptr);
    RegisterMascotClass(g_host.m_instance);
    HWND window = CreateMascotWindow(g_host.m_instance);
    if (!window || !g_host.m_mascotBitmap) {
        std::fprintf(stderr, "region_timing: cannot create the mascot window\n");
        return 1;
    }
    SendMessageA(window, WM_COMMAND, 32795, 0);  // a running mode, as in use
    if (!intervalsOnly) ReportCallTimes(window);
    ReportIntervals(window, false);
    ReportIntervals(window, true);
    DestroyWindow(window);
    return 0;
}
