// The timer message on the real window: shape, cursor, clock, RunTick and the placement.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/shared/globals.h"
#include "host/win32/window.h"
#include "host/win32/tick.h"
#include "support/plain_window.h"
#include "support/region_rows.h"
#include "support/test_window.h"

class TimerTick : public MascotWindowTest {};

TEST_F(TimerTick, FirstTickShowsTheIdleMascotTopmost) {
    ASSERT_FALSE(IsWindowVisible(m_window));
    Tick();
    EXPECT_TRUE(IsWindowVisible(m_window));
    EXPECT_TRUE(IsTopmost());
    EXPECT_EQ(0.0, g_mascot.m_elapsed);
    EXPECT_NE(GetActiveWindow(), m_window);  // placed without activation
}

TEST_F(TimerTick, MovesTheWindowToThePlacementOfTheTick) {
    // Idle: the tick places the position it finds, clamped and truncated toward zero.
    g_mascot.m_posX = 512.7;
    g_mascot.m_posY = 333.2;
    Tick();
    RECT rect = WindowRect();
    EXPECT_EQ(512, rect.left);
    EXPECT_EQ(333, rect.top);
    EXPECT_EQ(553, rect.right);
    EXPECT_EQ(374, rect.bottom);
    g_mascot.m_posX = 1200.0;  // beyond the screen box: clamped to 1000
    g_mascot.m_posY = 5.5;     // clamped to 20
    Tick();
    rect = WindowRect();
    EXPECT_EQ(1000, rect.left);
    EXPECT_EQ(20, rect.top);
}

TEST_F(TimerTick, ZOrderStateChoosesTopmostOrBottom) {
    Tick();
    ASSERT_TRUE(IsTopmost());
    g_zOrder = ZOrderBehind;
    Tick();
    EXPECT_FALSE(IsTopmost());  // HWND_BOTTOM takes the topmost status away
    g_zOrder = ZOrderFront;
    Tick();
    EXPECT_TRUE(IsTopmost());
}

// HWND_BOTTOM, not merely out of the topmost windows (HWND_NOTOPMOST): below every window, the
// plain ones included. The topmost bit alone cannot tell the two apart.
TEST_F(TimerTick, DuckedOrBehindGoesBelowEvenPlainWindows) {
    HWND plain = CreatePlainWindow(0, 700, 500, 30);
    ASSERT_NE(nullptr, plain);
    for (int state : {ZOrderDucked, ZOrderBehind}) {
        g_zOrder = ZOrderFront;
        Tick();
        ASSERT_TRUE(IsAbove(m_window, plain)) << "state " << state;
        g_zOrder = state;
        g_clickTime = g_mascot.m_elapsed;  // ducked just now: no expiry on this tick
        Tick();
        EXPECT_TRUE(IsAbove(plain, m_window)) << "state " << state;
    }
    DestroyWindow(plain);
}

TEST_F(TimerTick, DuckedWindowComesBackAfterTenSeconds) {
    Tick();
    g_zOrder = ZOrderDucked;
    g_clickTime = g_mascot.m_elapsed - 10.0;  // already expired: this tick still places below
    Tick();
    EXPECT_FALSE(IsTopmost());
    EXPECT_EQ(ZOrderFront, g_zOrder);
    Tick();
    EXPECT_TRUE(IsTopmost());
}

TEST_F(TimerTick, CursorBecomesTheTarget) {
    ASSERT_TRUE(SetCursorPos(600, 400));
    Tick();
    EXPECT_EQ(580.0, g_mascot.m_targetX);
    EXPECT_EQ(380.0, g_mascot.m_targetY);
}

TEST_F(TimerTick, ClockReadsTheSystemTickCount) {
    DWORD before = GetTickCount();
    Tick();
    DWORD after = GetTickCount();
    EXPECT_GE(g_mascot.m_nowTick, static_cast<double>(before));
    EXPECT_LE(g_mascot.m_nowTick, static_cast<double>(after));
}

TEST_F(TimerTick, EveryTickShapesTheWindowAgain) {
    SetWindowRgn(m_window, nullptr, FALSE);
    ASSERT_EQ(nullptr, CopyWindowRegion(m_window));
    Tick();
    HRGN shape = CopyWindowRegion(m_window);
    ASSERT_NE(nullptr, shape);
    EXPECT_EQ(MascotRows(), ReadRegionRows(shape));
    DeleteObject(shape);
}

TEST_F(TimerTick, TimerIdIsNotLookedAt) {
    g_mascot.m_posX = 444.0;
    SendMessageA(m_window, WM_TIMER, 77, 0);
    EXPECT_EQ(444, WindowRect().left);
}

TEST_F(TimerTick, RunningBehaviourPlacesWhatPlaybackProducedOnTheTickBefore) {
    SendMessageA(m_window, WM_COMMAND, 32785, 0);  // retreat into a corner: it travels
    ASSERT_TRUE(SetCursorPos(500, 400));
    int moves = 0;
    for (int i = 0; i < 400; ++i) {
        double played = g_mascot.m_posX;  // playback's result of the previous tick
        RECT before = WindowRect();
        Tick();
        RECT after = WindowRect();
        if (played >= 20.0 && played <= 1000.0) {
            ASSERT_EQ(static_cast<int>(played), after.left) << "tick " << i;
        }
        if (!EqualRect(&before, &after)) ++moves;
    }
    EXPECT_GT(moves, 10);
}

TEST(CursorOrLastKnown, ReadCursorIsUsedAsIs) {
    POINT read = {-1500, 2300};
    POINT used = CursorOrLastKnown(TRUE, read);
    EXPECT_EQ(-1500, used.x);
    EXPECT_EQ(2300, used.y);
}

TEST(CursorOrLastKnown, UnreadableCursorKeepsThePreviousOne) {
    // The previous tick took cursor (613, -7) and aimed at it less 20.
    g_mascot.m_targetX = 613.0 - 20.0;
    g_mascot.m_targetY = -7.0 - 20.0;
    POINT garbage = {123456, 654321};
    POINT used = CursorOrLastKnown(FALSE, garbage);
    EXPECT_EQ(613, used.x);
    EXPECT_EQ(-7, used.y);
}
