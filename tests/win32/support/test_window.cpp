// The real mascot window for tests.
#include "support/test_window.h"

#include <cstdio>

#include "host/shared/globals.h"
#include "host/win32/window.h"

void ResetHostGlobals() {
    g_host.m_instance = GetModuleHandleA(nullptr);
    g_host.m_trayIcon = {};
    g_playIndex = 1;
    g_restartClock = 1;
    g_zOrder = ZOrderFront;
    g_clickTime = 0.0;
    g_mascot.m_mode = 0;
    g_host.m_menuOpen = false;
    g_mascot.m_speedScale = 1.0;
}

HWND CreateTestMascot() {
    ResetHostGlobals();
    RegisterMascotClass(g_host.m_instance);
    return CreateMascotWindow(g_host.m_instance);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (message.message == WM_QUIT) return;
        PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

HWND FindThreadWindow(const char* className, bool visibleOnly) {
    struct CSearch {
        const char* className;
        bool visibleOnly;
        HWND found;
    } search = {className, visibleOnly, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            CSearch& search = *reinterpret_cast<CSearch*>(data);
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (lstrcmpA(name, search.className) != 0) return TRUE;
            if (search.visibleOnly && !IsWindowVisible(window)) return TRUE;
            search.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool TakePostedMessage(HWND window, UINT message, DWORD waitMs) {
    constexpr int kMostMessages = 1000;  // a pending WM_PAINT comes back every time: stop at last
    constexpr DWORD kPollMs = 5;
    DWORD start = GetTickCount();
    MSG taken;
    // Polled: under Wine a peek now and then answers that nothing is waiting although a message
    // is.
    do {
        for (int i = 0; i < kMostMessages && PeekMessageA(&taken, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (taken.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(taken.wParam));  // stays for the test to see
                return false;
            }
            if (taken.hwnd == window && taken.message == message) return true;
        }
        Sleep(kPollMs);
    } while (GetTickCount() - start < waitMs);
    return false;
}

bool TakeQuitMessage(int& exitCode) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    exitCode = static_cast<int>(message.wParam);
    return true;
}

void DestroyTestMascot(HWND window) {
    if (window && IsWindow(window)) DestroyWindow(window);
    int exitCode = 0;
    while (TakeQuitMessage(exitCode)) {
    }
}

namespace {

// Under Wine a window creation fails now and then for no reason of the program's: its class is
// registered and its creation handler never refuses. That is said plainly and the window made
// once more. A class that is missing is the program's own fault and is not tried again.
HWND CreateTestMascotOnceMoreIfWineMadeNone() {
    HWND window = CreateTestMascot();
    if (window) return window;
    DWORD error = GetLastError();
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    if (!GetClassInfoExA(g_host.m_instance, kMascotClassName, &info)) return nullptr;
    std::printf(
        "test_window: Wine made no window (CreateWindowEx failed, error %lu);"
        " trying once more\n",
        static_cast<unsigned long>(error));
    std::fflush(stdout);
    return CreateTestMascot();
}

}  // namespace

void MascotWindowTest::SetUp() {
    m_window = CreateTestMascotOnceMoreIfWineMadeNone();
    ASSERT_NE(nullptr, m_window) << "no mascot window, error " << GetLastError();
}

void MascotWindowTest::TearDown() { DestroyTestMascot(m_window); }

RECT MascotWindowTest::WindowRect() const {
    RECT rect = {};
    GetWindowRect(m_window, &rect);
    return rect;
}

bool MascotWindowTest::IsTopmost() const {
    return (GetWindowLongA(m_window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}
