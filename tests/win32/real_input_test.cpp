// Real mouse input on the mascot window: the system's own hit test and non-client click, not a
// sent message. Runs alone, as the pointer and the screen position are shared with every process
// on the display.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/shared/globals.h"
#include "support/test_window.h"

class RealInput : public MascotWindowTest {};

TEST_F(RealInput, LeftClickOnTheWindowDucksItWithoutMovingIt) {
    Tick();  // shows the window at (300, 100), topmost
    PumpMessages();
    ASSERT_TRUE(IsWindowVisible(m_window));
    ASSERT_TRUE(SetCursorPos(320, 120));
    ASSERT_EQ(m_window, WindowFromPoint(POINT{320, 120}));
    INPUT press[2] = {};
    press[0].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].type = INPUT_MOUSE;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(2u, SendInput(2, press, sizeof(INPUT)));
    DWORD start = GetTickCount();
    while (g_zOrder != ZOrderDucked && GetTickCount() - start < 3000) {
        PumpMessages();
        Sleep(5);
    }
    EXPECT_EQ(ZOrderDucked, g_zOrder);
    RECT rect = WindowRect();
    EXPECT_EQ(300, rect.left);
    EXPECT_EQ(100, rect.top);
}
