// mascot-probe: a small Windows tool the end-to-end test runs under the same Wine as the mascot.
// It reads the mascot window's z-order from Win32 (X cannot show a lowered window), sends the
// window a message, or puts a plain window over a spot of the screen for pixel checks.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kMascotClass = "mascot test program";
constexpr const char* kCoverClass = "mascot probe cover";
constexpr UINT_PTR kCoverTimer = 1;
constexpr COLORREF kCoverColour = RGB(255, 0, 255);  // magenta: no colour of the mascot

constexpr const char* kUsage =
    "usage: mascot-probe state | command ID | close | cover X Y W H SECONDS\n"
    "  state    one line: found topmost above below visible x y w h (exit 1 if no mascot)\n"
    "  command  posts WM_COMMAND ID to the mascot window\n"
    "  close    posts WM_CLOSE to the mascot window\n"
    "  cover    shows a magenta, non-topmost window at X Y, W x H pixels, for SECONDS\n";

// How many visible windows lie next to `window` in the z-order, walking with `direction`.
int CountVisible(HWND window, UINT direction) {
    int count = 0;
    for (HWND other = GetWindow(window, direction); other != nullptr;
         other = GetWindow(other, direction)) {
        if (IsWindowVisible(other)) ++count;
    }
    return count;
}

int PrintState() {
    HWND mascot = FindWindowA(kMascotClass, nullptr);
    if (mascot == nullptr) {
        std::printf("found 0\n");
        return 1;
    }
    RECT rect = {};
    GetWindowRect(mascot, &rect);
    LONG_PTR exStyle = GetWindowLongPtrA(mascot, GWL_EXSTYLE);
    std::printf("found 1 topmost %d above %d below %d visible %d x %ld y %ld w %ld h %ld\n",
                (exStyle & WS_EX_TOPMOST) != 0 ? 1 : 0, CountVisible(mascot, GW_HWNDPREV),
                CountVisible(mascot, GW_HWNDNEXT), IsWindowVisible(mascot) ? 1 : 0, rect.left,
                rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
}

int PostToMascot(UINT message, WPARAM wParam) {
    HWND mascot = FindWindowA(kMascotClass, nullptr);
    if (mascot == nullptr) {
        std::fprintf(stderr, "mascot-probe: no window of class \"%s\"\n", kMascotClass);
        return 1;
    }
    return PostMessageA(mascot, message, wParam, 0) ? 0 : 1;
}

LRESULT CALLBACK CoverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int ShowCover(int x, int y, int width, int height, int seconds) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = CoverProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = CreateSolidBrush(kCoverColour);
    windowClass.lpszClassName = kCoverClass;
    RegisterClassExA(&windowClass);
    HWND cover =
        CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCoverClass, nullptr, WS_POPUP, x, y,
                        width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (cover == nullptr) return 1;
    SetTimer(cover, kCoverTimer, static_cast<UINT>(seconds) * 1000u, nullptr);
    ShowWindow(cover, SW_SHOWNOACTIVATE);
    UpdateWindow(cover);
    std::printf("cover shown\n");
    std::fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// Reads argv[index] as a whole decimal number in [low, high].
bool ReadNumber(char** argv, int index, long low, long high, long& value) {
    char* end = nullptr;
    value = std::strtol(argv[index], &end, 10);
    if (end == argv[index] || *end != '\0' || value < low || value > high) {
        std::fprintf(stderr, "mascot-probe: not a number in %ld..%ld: %s\n", low, high,
                     argv[index]);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "state") == 0) return PrintState();
    if (argc == 2 && std::strcmp(argv[1], "close") == 0) return PostToMascot(WM_CLOSE, 0);
    long id = 0;
    if (argc == 3 && std::strcmp(argv[1], "command") == 0) {
        return ReadNumber(argv, 2, 0, 0xFFFF, id) ? PostToMascot(WM_COMMAND, id) : 2;
    }
    long cover[5] = {};
    if (argc == 7 && std::strcmp(argv[1], "cover") == 0) {
        constexpr long kLimit = 100000;
        for (int i = 0; i < 5; ++i) {
            if (!ReadNumber(argv, i + 2, i < 2 ? -kLimit : 1, kLimit, cover[i])) return 2;
        }
        return ShowCover(cover[0], cover[1], cover[2], cover[3], cover[4]);
    }
    std::fputs(kUsage, stderr);
    return 2;
}
