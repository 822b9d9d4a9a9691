// Clicks with SendInput and a polling message pump.
#include "support/real_input.h"

#include "support/test_window.h"

namespace {

constexpr DWORD kPollMs = 5;

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

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < timeoutMs) {
        PumpMessages();
        Sleep(kPollMs);
    }
    return done();
}
