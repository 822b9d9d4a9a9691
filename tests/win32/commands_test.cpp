// WM_COMMAND on the real window: every id of the command table, the ids no menu item carries and
// unknown ids.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "host/shared/globals.h"
#include "support/test_window.h"

namespace {

// Fills the fields the command reset changes with values it never sets.
void DirtyCommandState() {
    g_restartClock = 0;
    g_mascot.m_speedLevel = 7;
    g_mascot.m_framesInBehaviour = 13;
    for (int& slot : g_mascot.m_order) slot = -1;
}

// The command reset ran: clock restart, level 1, count 0 and a fresh arrangement of all ids,
// 0..7 in the even slots and 8..15 in the odd ones.
void ExpectCommandReset() {
    EXPECT_EQ(1, g_restartClock);
    EXPECT_EQ(1, g_mascot.m_speedLevel);
    EXPECT_EQ(0, g_mascot.m_framesInBehaviour);
    bool seen[16] = {};
    for (int slot = 0; slot < 16; ++slot) {
        int id = g_mascot.m_order[slot];
        ASSERT_TRUE(id >= 0 && id < 16) << "slot " << slot;
        EXPECT_EQ(slot % 2 == 0, id < 8) << "slot " << slot;
        seen[id] = true;
    }
    for (int id = 0; id < 16; ++id) EXPECT_TRUE(seen[id]) << "id " << id;
}

}  // namespace

class Commands : public MascotWindowTest {
protected:
    LRESULT Command(WPARAM wParam) { return SendMessageA(m_window, WM_COMMAND, wParam, 0); }
};

TEST_F(Commands, BehaviourIdsFixTheirBehaviour) {
    const struct {
        WPARAM id;
        int behaviour;
    } table[] = {{32771, 8},  {32772, 9},  {32773, 10}, {32774, 11}, {32775, 12}, {32776, 13},
                 {32777, 14}, {32778, 15}, {32779, 0},  {32780, 1},  {32781, 2},  {32782, 3},
                 {32783, 4},  {32784, 5},  {32785, 6},  {32786, 7}};
    for (const auto& entry : table) {
        DirtyCommandState();
        g_mascot.m_mode = 0;
        g_mascot.m_prevBehaviour = -1;
        EXPECT_EQ(0, Command(entry.id)) << entry.id;
        EXPECT_EQ(entry.behaviour, g_mascot.m_behaviour) << entry.id;
        EXPECT_EQ(100, g_mascot.m_mode) << entry.id;
        EXPECT_EQ(entry.behaviour, g_mascot.m_prevBehaviour) << entry.id;
        ExpectCommandReset();
    }
}

TEST_F(Commands, ModeIdsChooseTheModeTheirTextNames) {
    const struct {
        WPARAM id;
        int mode;
    } table[] = {{32793, 1}, {32794, 2}, {32796, 3}, {32795, 4}, {32797, 5}, {32798, 6}};
    for (const auto& entry : table) {
        DirtyCommandState();
        g_mascot.m_behaviour = 9;
        EXPECT_EQ(0, Command(entry.id)) << entry.id;
        EXPECT_EQ(entry.mode, g_mascot.m_mode) << entry.id;
        EXPECT_EQ(9, g_mascot.m_behaviour) << entry.id;  // the mode picks later
        EXPECT_EQ(9, g_mascot.m_prevBehaviour) << entry.id;
        ExpectCommandReset();
    }
}

TEST_F(Commands, ZOrderIdsSetTheState) {
    g_clickTime = 4.5;
    g_mascot.m_mode = 2;
    EXPECT_EQ(0, Command(32799));
    EXPECT_EQ(ZOrderBehind, g_zOrder);
    EXPECT_EQ(0, Command(32800));
    EXPECT_EQ(ZOrderFront, g_zOrder);
    DirtyCommandState();
    EXPECT_EQ(0, Command(32792));  // carried by no menu item
    EXPECT_EQ(ZOrderDucked, g_zOrder);
    EXPECT_EQ(4.5, g_clickTime);
    EXPECT_EQ(2, g_mascot.m_mode);
    ExpectCommandReset();
}

TEST_F(Commands, CornerIsDrawnAfterTheShuffle) {
    const unsigned kSeed = 20240601;
    std::srand(kSeed);
    g_mascot.ShuffleOrder();
    int expected = std::rand() % 4 + 1;
    std::srand(kSeed);
    Command(32785);
    EXPECT_EQ(expected, g_mascot.m_corner);
    EXPECT_GE(g_mascot.m_corner, 1);
    EXPECT_LE(g_mascot.m_corner, 4);
}

TEST_F(Commands, UnknownIdsResetAndGoToTheDefaultProcedure) {
    const WPARAM unknown[] = {32787, 32788, 32789, 32790, 32791, 0, 1, 32770, 32801, 57664, 57666};
    for (WPARAM id : unknown) {
        DirtyCommandState();
        g_mascot.m_mode = 0;
        g_mascot.m_behaviour = 5;
        g_mascot.m_prevBehaviour = 2;
        LRESULT answer = Command(id);
        EXPECT_EQ(DefWindowProcA(m_window, WM_COMMAND, id, 0), answer) << id;
        EXPECT_EQ(0, g_mascot.m_mode) << id;
        EXPECT_EQ(2, g_mascot.m_prevBehaviour) << id;  // the copy belongs to handled ids
        EXPECT_EQ(ZOrderFront, g_zOrder) << id;
        ExpectCommandReset();
    }
    EXPECT_TRUE(IsWindow(m_window));
}

TEST_F(Commands, OnlyTheLow16BitsNameTheCommand) {
    // Accelerator and control notifications carry a code in the high bits.
    EXPECT_EQ(0, Command(MAKEWPARAM(32794, 1)));
    EXPECT_EQ(2, g_mascot.m_mode);
    EXPECT_EQ(0, Command((static_cast<WPARAM>(1) << 40) | 32799));
    EXPECT_EQ(ZOrderBehind, g_zOrder);
}

TEST_F(Commands, ExitDestroysTheWindowAndPostsQuitWithZero) {
    DirtyCommandState();
    g_mascot.m_behaviour = 11;
    g_mascot.m_prevBehaviour = 3;
    EXPECT_EQ(0, Command(57665));
    EXPECT_FALSE(IsWindow(m_window));
    EXPECT_EQ(11, g_mascot.m_prevBehaviour);
    ExpectCommandReset();
    int exitCode = -1;
    ASSERT_TRUE(TakeQuitMessage(exitCode));
    EXPECT_EQ(0, exitCode);
}
