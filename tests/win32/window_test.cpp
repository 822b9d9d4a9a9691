// The mascot window as creation leaves it, its hit test and the mouse on it.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/shared/globals.h"
#include "host/win32/shape.h"
#include "host/win32/tick.h"
#include "host/win32/window.h"
#include "support/import_patch.h"
#include "support/region_rows.h"
#include "support/test_window.h"

class WindowCreation : public MascotWindowTest {};

TEST_F(WindowCreation, HiddenTopmostToolWindowAt300By100Sized41) {
    LONG style = GetWindowLongA(m_window, GWL_STYLE);
    LONG exStyle = GetWindowLongA(m_window, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_VISIBLE | WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_SYSMENU));
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    RECT rect = WindowRect();
    EXPECT_EQ(300, rect.left);
    EXPECT_EQ(100, rect.top);
    EXPECT_EQ(341, rect.right);
    EXPECT_EQ(141, rect.bottom);
}

TEST_F(WindowCreation, RegionIsTheMascotOutline) {
    HRGN shape = CopyWindowRegion(m_window);
    ASSERT_NE(nullptr, shape);
    CRegionRows rows = ReadRegionRows(shape);
    EXPECT_EQ(MascotRows(), rows) << Describe(rows);
    EXPECT_NE(nullptr, GetPropA(m_window, kRegionProperty));
    DeleteObject(shape);
}

TEST_F(WindowCreation, LoadsTheBitmapAndResetsTheMotion) {
    EXPECT_NE(nullptr, g_host.m_mascotBitmap);
    EXPECT_EQ(300.0, g_mascot.m_posX);
    EXPECT_EQ(100.0, g_mascot.m_posY);
    EXPECT_EQ(1, g_trajectory.m_needsReset);
    EXPECT_EQ(0, g_trajectory.m_keyIndex);
}

// What creation asked of SetTimer, seen on the way to the real one: the interval itself cannot be
// read back from the system. The real one is reached by its address, since this executable's own
// calls go through the patched slot too.
namespace {
UINT g_askedElapse = 0;
UINT_PTR WINAPI WatchSetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    using SetTimerFunction = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);
    static const auto real = reinterpret_cast<SetTimerFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetTimer")));
    if (id == kTickTimerId) g_askedElapse = elapse;
    return real(window, id, elapse, proc);
}
}  // namespace

TEST(TickTimer, CreationStartsATenMillisecondTimerThatTicks) {
    g_askedElapse = 0;
    HWND window = nullptr;
    {
        CImportPatch watch("user32.dll", "SetTimer", reinterpret_cast<const void*>(WatchSetTimer));
        ASSERT_TRUE(watch.Applied());
        window = CreateTestMascot();
    }
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(10u, g_askedElapse);
    EXPECT_TRUE(TakePostedMessage(window, WM_TIMER, 2000));
    DestroyTestMascot(window);
}

class HitTest : public MascotWindowTest {};

TEST_F(HitTest, ClientAreaAnswersAsCaption) {
    EXPECT_EQ(HTCAPTION, SendMessageA(m_window, WM_NCHITTEST, 0, ScreenPoint(320, 120)));
    EXPECT_EQ(HTCAPTION, SendMessageA(m_window, WM_NCHITTEST, 0, ScreenPoint(300, 100)));
}

TEST_F(HitTest, OtherAnswersPassUnchanged) {
    LRESULT outside = SendMessageA(m_window, WM_NCHITTEST, 0, ScreenPoint(10, 10));
    EXPECT_EQ(DefWindowProcA(m_window, WM_NCHITTEST, 0, ScreenPoint(10, 10)), outside);
    EXPECT_NE(HTCAPTION, outside);
}

class MouseOnMascot : public MascotWindowTest {};

TEST_F(MouseOnMascot, LeftClickDucksWithoutMovingTheWindow) {
    Tick();
    RECT before = WindowRect();
    g_mascot.m_elapsed = 7.25;
    // The default handling would start a modal move here and not return until the button is up.
    EXPECT_EQ(0, SendMessageA(m_window, WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(320, 120)));
    EXPECT_EQ(ZOrderDucked, g_zOrder);
    EXPECT_EQ(7.25, g_clickTime);
    RECT after = WindowRect();
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(nullptr, GetCapture());
}
