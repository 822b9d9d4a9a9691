// WM_COMMAND on the real window: the routing only (the id reaches the command table, the low word
// names it, unknown ids go on to the default procedure, exit ends the window and the loop). The
// table itself is tested in tests/commands_test.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/shared/globals.h"
#include "support/test_window.h"

class Commands : public MascotWindowTest {
protected:
    LRESULT Command(WPARAM wParam) { return SendMessageA(m_window, WM_COMMAND, wParam, 0); }
};

TEST_F(Commands, ReachTheCommandTableAndItsStateInTheGlobals) {
    g_restartClock = 0;
    EXPECT_EQ(0, Command(32779));  // "停止": the brake, fixed
    EXPECT_EQ(kModeFixed, g_mascot.m_mode);
    EXPECT_EQ(0, g_mascot.m_behaviour);
    EXPECT_EQ(1, g_restartClock);
    EXPECT_EQ(0, Command(32799));  // "常に後ろに表示"
    EXPECT_EQ(ZOrderBehind, g_zOrder);
}

TEST_F(Commands, OnlyTheLow16BitsNameTheCommand) {
    // Accelerator and control notifications carry a code in the high bits.
    EXPECT_EQ(0, Command(MAKEWPARAM(32794, 1)));
    EXPECT_EQ(2, g_mascot.m_mode);
    EXPECT_EQ(0, Command((static_cast<WPARAM>(1) << 40) | 32799));
    EXPECT_EQ(ZOrderBehind, g_zOrder);
}

TEST_F(Commands, UnknownIdsGoToTheDefaultProcedure) {
    for (WPARAM id : {WPARAM{32787}, WPARAM{0}, WPARAM{57664}}) {
        LRESULT answer = Command(id);
        EXPECT_EQ(DefWindowProcA(m_window, WM_COMMAND, id, 0), answer) << id;
        EXPECT_EQ(0, g_mascot.m_mode) << id;
    }
    EXPECT_TRUE(IsWindow(m_window));
}

TEST_F(Commands, ExitDestroysTheWindowPostsQuitWithZeroAndFinishesTheCommand) {
    g_mascot.m_behaviour = 11;
    g_mascot.m_prevBehaviour = 3;
    EXPECT_EQ(0, Command(57665));
    EXPECT_FALSE(IsWindow(m_window));
    EXPECT_EQ(11, g_mascot.m_prevBehaviour);  // the copy once the window is gone
    int exitCode = -1;
    ASSERT_TRUE(TakeQuitMessage(exitCode));
    EXPECT_EQ(0, exitCode);
}
