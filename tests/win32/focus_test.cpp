// The tray icon's menu and the foreground window. Runs alone: the foreground window is shared
// with every process on the display.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "host/win32/menu_tray.h"
#include "support/menu_driver.h"
#include "support/plain_window.h"
#include "support/test_window.h"

class TrayMenuFocus : public MascotWindowTest {};

// Without it the menu stays open when the user clicks elsewhere.
TEST_F(TrayMenuFocus, MascotIsTheForegroundWindowWhileTheTrayMenuIsOpen) {
    HWND typing = CreateTypingWindow();
    ASSERT_NE(nullptr, typing);
    CForegroundWithMenu foreground;
    CMenuDriver driver(std::ref(foreground));
    SendMessageA(m_window, kTrayCallbackMessage, kTrayIconId, WM_RBUTTONDOWN);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(m_window, foreground.seen);
    DestroyWindow(typing);
}
