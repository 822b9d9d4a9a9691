// The popup menu, opened for real from a right click on the mascot and from the tray icon, and
// driven from inside its modal loop.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/shared/globals.h"
#include "host/win32/menu_tray.h"
#include "support/menu_driver.h"
#include "support/plain_window.h"
#include "support/test_window.h"

namespace {

constexpr int kScreenWidth = 1024;  // the test display
constexpr int kTicksWithMenuOpen = 5;
constexpr DWORD kPostedWithinMs = 1000;  // it is posted before the tray handling returns
constexpr DWORD kNotPostedWaitMs = 100;

// Records where the menu opened, then closes it.
struct COpenedAt {
    bool seen = false;
    RECT rect = {};
    bool operator()() {
        if (!CMenuDriver::FindOpenMenu(rect)) return false;
        seen = true;
        EndMenu();
        return true;
    }
};

}  // namespace

class PopupMenu : public MascotWindowTest {};

TEST_F(PopupMenu, RightClickOpensTheMenuAtTheClickAndReleasesItAfterwards) {
    COpenedAt opened;
    CMenuDriver driver(std::ref(opened));
    SendMessageA(m_window, WM_NCRBUTTONDOWN, HTCAPTION, ScreenPoint(400, 300));
    ASSERT_FALSE(driver.TimedOut());
    ASSERT_TRUE(opened.seen);
    EXPECT_EQ(400, opened.rect.left);
    EXPECT_EQ(300, opened.rect.top);
    ASSERT_FALSE(driver.ShownMenus().empty());
    // The submenu shown belongs to the menu loaded for this popup; destroying that menu
    // destroys its submenus too.
    for (HMENU shown : driver.ShownMenus()) EXPECT_FALSE(IsMenu(shown));
}

TEST_F(PopupMenu, RightClickLeftOfAndAboveThePrimaryScreenKeepsTheSign) {
    COpenedAt opened;
    CMenuDriver driver(std::ref(opened));
    SendMessageA(m_window, WM_NCRBUTTONDOWN, HTCAPTION, ScreenPoint(-30, -40));
    ASSERT_TRUE(opened.seen);
    // Read as unsigned, -30 would be 65506: the menu would be pushed to the right screen edge.
    // Read as signed, the menu is pushed the other way, onto the left edge.
    EXPECT_LT(opened.rect.left, kScreenWidth / 2);
    EXPECT_LT(opened.rect.top, 100);
}

TEST_F(PopupMenu, TrayRightButtonOpensTheMenuAtTheCursor) {
    ASSERT_TRUE(SetCursorPos(500, 350));
    COpenedAt opened;
    CMenuDriver driver(std::ref(opened));
    SendMessageA(m_window, kTrayCallbackMessage, kTrayIconId, WM_RBUTTONDOWN);
    ASSERT_TRUE(opened.seen);
    EXPECT_EQ(500, opened.rect.left);
    EXPECT_EQ(350, opened.rect.top);
    for (HMENU shown : driver.ShownMenus()) EXPECT_FALSE(IsMenu(shown));
}

TEST_F(PopupMenu, TrayMenuIsFollowedByABenignMessage) {
    COpenedAt opened;
    CMenuDriver driver(std::ref(opened));
    SendMessageA(m_window, kTrayCallbackMessage, kTrayIconId, WM_RBUTTONDOWN);
    ASSERT_TRUE(opened.seen);
    EXPECT_TRUE(TakePostedMessage(m_window, WM_NULL, kPostedWithinMs));
}

TEST_F(PopupMenu, MenuOnTheMascotIsNotFollowedByOne) {
    COpenedAt opened;
    CMenuDriver driver(std::ref(opened));
    SendMessageA(m_window, WM_NCRBUTTONDOWN, HTCAPTION, ScreenPoint(200, 200));
    ASSERT_TRUE(opened.seen);
    EXPECT_FALSE(TakePostedMessage(m_window, WM_NULL, kNotPostedWaitMs));
}

TEST_F(PopupMenu, OtherTrayEventsOpenNothing) {
    COpenedAt opened;
    CMenuDriver driver(std::ref(opened));
    const struct {
        WPARAM icon;
        LPARAM mouse;
    } events[] = {
        {kTrayIconId, WM_LBUTTONDOWN}, {kTrayIconId, WM_RBUTTONUP}, {kTrayIconId, WM_LBUTTONDBLCLK},
        {kTrayIconId, WM_MOUSEMOVE},   {2, WM_RBUTTONDOWN},         {0, WM_RBUTTONDOWN}};
    for (const auto& event : events) {
        EXPECT_EQ(0, SendMessageA(m_window, kTrayCallbackMessage, event.icon, event.mouse));
    }
    EXPECT_TRUE(driver.ShownMenus().empty());
}

TEST_F(PopupMenu, ChosenItemArrivesAsACommandAfterTheMenuCloses) {
    bool commandDuringMenu = false;
    CMenuDriver driver([&] {
        RECT rect;
        if (!CMenuDriver::FindOpenMenu(rect)) return false;
        commandDuringMenu = g_mascot.m_mode != 0;
        // First item: the submenu "行動開始"; second: "停止".
        CMenuDriver::PostKey(m_window, VK_DOWN);
        CMenuDriver::PostKey(m_window, VK_DOWN);
        CMenuDriver::PostKey(m_window, VK_RETURN);
        return true;
    });
    SendMessageA(m_window, WM_NCRBUTTONDOWN, HTCAPTION, ScreenPoint(200, 200));
    ASSERT_TRUE(driver.Done());
    ASSERT_FALSE(driver.TimedOut());
    EXPECT_FALSE(commandDuringMenu);
    EXPECT_EQ(0, g_mascot.m_mode);  // nothing yet: the command is still in the queue
    PumpMessages();
    EXPECT_EQ(kModeFixed, g_mascot.m_mode);
    EXPECT_EQ(0, g_mascot.m_behaviour);
}

TEST_F(PopupMenu, TicksGoOnWhileTheMenuIsOpen) {
    const double kNotTicked = -1.0;
    g_mascot.m_nowTick = kNotTicked;
    bool tickedDuringMenu = false;
    CMenuDriver driver([&] {
        RECT rect;
        if (!CMenuDriver::FindOpenMenu(rect) || g_mascot.m_nowTick == kNotTicked) return false;
        tickedDuringMenu = true;
        EndMenu();
        return true;
    });
    SendMessageA(m_window, WM_NCRBUTTONDOWN, HTCAPTION, ScreenPoint(200, 200));
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_TRUE(tickedDuringMenu);
}

// On Windows the menu window is not owned by the mascot, so a mascot lifting itself to the top
// every tick would cover it. A topmost window that is not the mascot's stands in for that menu
// here: under Wine the menu is owned and would rise with the mascot.
TEST_F(PopupMenu, TicksWhileTheMenuIsOpenMoveTheMascotWithoutRaisingIt) {
    Tick();  // shown, topmost
    HWND other = nullptr;
    bool otherAboveAtFirst = false;
    bool otherStayedAbove = false;
    LONG placedX = 0;
    CMenuDriver driver([&] {
        if (!CMenuDriver::FindOwnMenu()) return false;
        other = CreatePlainWindow(WS_EX_TOPMOST, 700, 500, 30);
        otherAboveAtFirst = IsAbove(other, m_window);
        for (int i = 0; i < kTicksWithMenuOpen; ++i) Tick();
        g_mascot.m_posX = 444.0;  // idle: the tick places what it finds
        Tick();
        placedX = WindowRect().left;
        otherStayedAbove = IsAbove(other, m_window);
        EndMenu();
        return true;
    });
    SendMessageA(m_window, WM_NCRBUTTONDOWN, HTCAPTION, ScreenPoint(200, 200));
    ASSERT_TRUE(driver.Done());
    ASSERT_NE(nullptr, other);
    ASSERT_TRUE(otherAboveAtFirst);
    EXPECT_TRUE(otherStayedAbove);
    EXPECT_EQ(444, placedX);  // the window still moves
    Tick();                   // the first tick after the menu applies the z-order state again
    EXPECT_TRUE(IsAbove(m_window, other));
    DestroyWindow(other);
}
