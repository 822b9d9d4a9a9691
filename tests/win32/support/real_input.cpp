// Clicks with SendInput, and a polling message pump.
#include "support/real_input.h"

#include "support/test_window.h"

namespace {

constexpr DWORD kPollMs = 5;

bool g_releaseTaken = false;  // set by the hook below while ClickAndDispatch waits

bool IsButtonRelease(UINT message) {
    switch (message) {
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP:
    case WM_NCLBUTTONUP:
    case WM_NCMBUTTONUP:
    case WM_NCRBUTTONUP: return true;
    default: return false;
    }
}

LRESULT CALLBACK WatchReleases(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* taken = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && IsButtonRelease(taken->message)) {
        g_releaseTaken = true;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool ClickAt(int x, int y, DWORD down, DWORD up) {
    if (!SetCursorPos(x, y)) return false;
    INPUT press[2] = {};
    press[0].type = INPUT_MOUSE;
    press[0].mi.dwFlags = down;
    press[1].type = INPUT_MOUSE;
    press[1].mi.dwFlags = up;
    return SendInput(2, press, sizeof(INPUT)) == 2;
}

bool ClickAndDispatch(int x, int y, DWORD down, DWORD up, DWORD timeoutMs) {
    g_releaseTaken = false;
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchReleases, nullptr, GetCurrentThreadId());
    if (!hook) return false;
    bool released = ClickAt(x, y, down, up) && PumpUntil([] { return g_releaseTaken; }, timeoutMs);
    UnhookWindowsHookEx(hook);
    return released;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < timeoutMs) {
        PumpMessages();
        Sleep(kPollMs);
    }
    return done();
}
