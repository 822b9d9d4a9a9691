// A real mascot window for a test: the class, the window and the host globals as start-up makes
// them, and a clean end, so that tests can also run one after another in one process.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

// Puts the host's globals back to their start-up values.
void ResetHostGlobals();

// Registers the class and creates the window as start-up does (hidden, no tray icon).
HWND CreateTestMascot();

// Destroys the window if it still exists and drops the quit message its destruction posts.
void DestroyTestMascot(HWND window);

// Dispatches every message waiting in this thread's queue, except a quit message, which stays.
void PumpMessages();

// A screen point packed as mouse messages carry it: x in the low, y in the high 16 bits.
inline LPARAM ScreenPoint(int x, int y) {
    return static_cast<LPARAM>(
        static_cast<DWORD>(MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y))));
}

// The first window of this thread with the class `className` (only a visible one when asked),
// or null. Other tests may run beside this one on the same display.
HWND FindThreadWindow(const char* className, bool visibleOnly);

// Takes the messages waiting in this thread's queue off it without dispatching them (a quit
// message stays) until `message` for `window` comes, for at most `waitMs`; true when it came.
bool TakePostedMessage(HWND window, UINT message, DWORD waitMs);

// True when the quit message is waiting; stores its exit code.
bool TakeQuitMessage(int& exitCode);

class MascotWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // One timer message, as the 10 ms timer sends it.
    void Tick() { SendMessageA(m_window, WM_TIMER, 1, 0); }
    RECT WindowRect() const;
    bool IsTopmost() const;

    HWND m_window = nullptr;
};
