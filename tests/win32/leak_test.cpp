// Ticks and popups on the real window leave no GDI or USER objects behind. GetGuiResources
// answers 0 under Wine, so the free slots of the handle tables are counted instead.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/handle_count.h"
#include "support/menu_driver.h"
#include "support/test_window.h"

namespace {

// Far more than the slack below, and enough for the history to be compacted three times (300
// key points of 10 ticks each) while a mode runs.
constexpr int kTicks = 10000;
constexpr int kPopups = 40;
// Handle tables are shared with the system's own caches (fonts, menu bitmaps) and, for USER
// objects, with every process on the display, which may take or give back a few slots meanwhile.
// One lost object per tick or per popup is far above this.
constexpr int kSlack = 12;

}  // namespace

class NoLeaks : public MascotWindowTest {
protected:
    // A tick with the painting it causes.
    void TickAndPaint() {
        Tick();
        InvalidateRect(m_window, nullptr, FALSE);
        UpdateWindow(m_window);
    }

    void OpenAndCloseMenu() {
        CMenuDriver driver([] {
            RECT rect;
            if (!CMenuDriver::FindOpenMenu(rect)) return false;
            EndMenu();
            return true;
        });
        SendMessageA(m_window, WM_NCRBUTTONDOWN, HTCAPTION, ScreenPoint(200, 200));
        ASSERT_TRUE(driver.Done());
    }
};

TEST_F(NoLeaks, ManyTicksInARunningMode) {
    SendMessageA(m_window, WM_COMMAND, 32795, 0);  // "行動数：１６"
    for (int i = 0; i < 10; ++i) TickAndPaint();   // lets the system make what it keeps
    int regions = CountCreatableRegions();
    int menus = CountCreatableMenus();
    for (int i = 0; i < kTicks; ++i) TickAndPaint();
    // One lost object per tick would show as kTicks fewer.
    EXPECT_NEAR(regions, CountCreatableRegions(), kSlack);
    EXPECT_NEAR(menus, CountCreatableMenus(), kSlack);
}

TEST_F(NoLeaks, RepeatedPopups) {
    OpenAndCloseMenu();
    int regions = CountCreatableRegions();
    int menus = CountCreatableMenus();
    for (int i = 0; i < kPopups; ++i) OpenAndCloseMenu();
    // The loaded menu holds three menus: each lost popup would show as 3 fewer.
    EXPECT_NEAR(menus, CountCreatableMenus(), kSlack);
    EXPECT_NEAR(regions, CountCreatableRegions(), kSlack);
}
