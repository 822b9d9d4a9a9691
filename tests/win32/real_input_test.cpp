// Real mouse input on the mascot window: the system's own hit test, activation and non-client
// click, not a sent message. Runs alone, as the pointer, the screen position and the foreground
// window are shared with every process on the display.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "host/shared/globals.h"
#include "support/menu_driver.h"
#include "support/plain_window.h"
#include "support/real_input.h"
#include "support/test_window.h"

namespace {

constexpr int kOnMascotX = 320;  // inside the disc of the window at (300, 100)
constexpr int kOnMascotY = 120;
constexpr DWORD kInputDeadlineMs = 3000;

}  // namespace

class RealInput : public MascotWindowTest {
protected:
    void SetUp() override {
        MascotWindowTest::SetUp();
        Tick();  // shows the window at (300, 100), topmost
        PumpMessages();
        ASSERT_TRUE(IsWindowVisible(m_window));
        ASSERT_EQ(m_window, WindowFromPoint(POINT{kOnMascotX, kOnMascotY}));
    }

    void StartTypingElsewhere() {
        m_typing = CreateTypingWindow();
        ASSERT_NE(nullptr, m_typing);
    }

    void TearDown() override {
        if (m_typing) DestroyWindow(m_typing);
        MascotWindowTest::TearDown();
    }

    void LeftClickOnMascot() {
        ASSERT_TRUE(ClickAt(kOnMascotX, kOnMascotY, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP));
        ASSERT_TRUE(PumpUntil([] { return g_zOrder == ZOrderDucked; }, kInputDeadlineMs));
    }

    HWND m_typing = nullptr;
};

TEST_F(RealInput, LeftClickOnTheWindowDucksItWithoutMovingIt) {
    RECT before = WindowRect();
    LeftClickOnMascot();
    RECT after = WindowRect();
    EXPECT_TRUE(EqualRect(&before, &after));
}

// Keystrokes must still go where the user was typing, not even for a moment to the mascot.
TEST_F(RealInput, LeftAndMiddleClicksLeaveTheKeyboardWithTheWindowInTheForeground) {
    StartTypingElsewhere();
    const struct {
        DWORD down;
        DWORD up;
    } buttons[] = {{MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP},
                   {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}};  // the left one ducks it: last
    for (const auto& button : buttons) {
        ASSERT_EQ(m_window, WindowFromPoint(POINT{kOnMascotX, kOnMascotY}));
        ASSERT_TRUE(
            ClickAndDispatch(kOnMascotX, kOnMascotY, button.down, button.up, kInputDeadlineMs));
        EXPECT_EQ(m_typing, GetForegroundWindow()) << "button " << button.down;
        EXPECT_EQ(0, FocusLosses(m_typing)) << "button " << button.down;
    }
}

// The menu closes when the user clicks elsewhere only if its window is the foreground window.
TEST_F(RealInput, RightClickMakesTheMascotTheForegroundWindowForItsMenu) {
    StartTypingElsewhere();
    CForegroundWithMenu foreground;
    CMenuDriver driver(std::ref(foreground));
    ASSERT_TRUE(ClickAt(kOnMascotX, kOnMascotY, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP));
    ASSERT_TRUE(PumpUntil([&] { return driver.Done(); }, kInputDeadlineMs));
    EXPECT_EQ(m_window, foreground.seen);
}
