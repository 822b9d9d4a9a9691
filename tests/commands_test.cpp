// The command table: the reset every command makes, fixed behaviours, modes, z-order, exit,
// ids no menu item carries, unknown ids and the low-16-bit rule.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "core_fixture.h"
#include "host/commands.h"

namespace {

using CommandTest = CoreTest;

// The order and the random state a shuffle after srand(seed) leaves, made on a separate record.
struct Shuffled {
    int order[16];
    int nextDraw;
};

Shuffled ShuffleFrom(unsigned seed) {
    auto mascot = std::make_unique<CMascot>();
    std::srand(seed);
    mascot->ShuffleOrder();
    Shuffled s;
    std::memcpy(s.order, mascot->m_order, sizeof s.order);
    s.nextDraw = std::rand();
    std::srand(seed);
    return s;
}

// Puts the mascot into a state that the command reset visibly changes.
void Dirty() {
    g_restartClock = 0;
    g_mascot.m_speedLevel = 17;
    g_mascot.m_framesInBehaviour = 13;
    g_mascot.m_behaviour = 9;
    g_mascot.m_prevBehaviour = 4;
    g_mascot.m_mode = 3;
}

void ExpectCommandReset(const Shuffled& expected) {
    EXPECT_EQ(g_restartClock, 1);
    EXPECT_EQ(g_mascot.m_speedLevel, 1);
    EXPECT_EQ(g_mascot.m_framesInBehaviour, 0);
    EXPECT_EQ(std::memcmp(g_mascot.m_order, expected.order, sizeof expected.order), 0);
}

TEST_F(CommandTest, FixedBehaviourIds) {
    const int behaviourOf[16] = {8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7};
    for (unsigned id = 32771; id <= 32786; ++id) {
        Dirty();
        Shuffled expected = ShuffleFrom(id);
        EXPECT_EQ(RunCommand(id), CommandResult::Handled) << id;
        ExpectCommandReset(expected);
        EXPECT_EQ(g_mascot.m_behaviour, behaviourOf[id - 32771]) << id;
        EXPECT_EQ(g_mascot.m_prevBehaviour, g_mascot.m_behaviour) << id;
        EXPECT_EQ(g_mascot.m_mode, 100) << id;
    }
}

TEST_F(CommandTest, StopRunsBrakeInTheFixedMode) {
    EXPECT_EQ(RunCommand(32779), CommandResult::Handled);
    EXPECT_EQ(g_mascot.m_behaviour, 0);
    EXPECT_EQ(g_mascot.m_mode, 100);
    RunTick(0, 0, 0);
    EXPECT_EQ(g_mascot.m_tickInFrame, 1);  // no longer idle
}

TEST_F(CommandTest, CornerCommandDrawsTheCornerAfterTheShuffle) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        Shuffled expected = ShuffleFrom(seed);
        RunCommand(32785);
        EXPECT_EQ(g_mascot.m_corner, expected.nextDraw % 4 + 1) << seed;
        EXPECT_EQ(g_mascot.m_behaviour, 6);
    }
}

TEST_F(CommandTest, ModeIdsFollowTheirTextsNotTheirOrder) {
    const struct {
        unsigned id;
        int mode;
    } cases[] = {{32793, 1}, {32794, 2}, {32796, 3}, {32795, 4}, {32797, 5}, {32798, 6}};
    for (const auto& c : cases) {
        Dirty();
        Shuffled expected = ShuffleFrom(c.id);
        EXPECT_EQ(RunCommand(c.id), CommandResult::Handled);
        ExpectCommandReset(expected);
        EXPECT_EQ(g_mascot.m_mode, c.mode) << c.id;
        EXPECT_EQ(g_mascot.m_behaviour, 9);  // the current behaviour goes on
        EXPECT_EQ(g_mascot.m_prevBehaviour, 9);
    }
}

TEST_F(CommandTest, ZOrderCommands) {
    g_clickTime = 4.5;
    g_mascot.m_mode = 2;
    EXPECT_EQ(RunCommand(32792), CommandResult::Handled);
    EXPECT_EQ(g_zOrder, ZOrderDucked);
    EXPECT_EQ(g_clickTime, 4.5);
    EXPECT_EQ(RunCommand(32799), CommandResult::Handled);
    EXPECT_EQ(g_zOrder, ZOrderBehind);
    EXPECT_EQ(RunCommand(32800), CommandResult::Handled);
    EXPECT_EQ(g_zOrder, ZOrderFront);
    EXPECT_EQ(g_mascot.m_mode, 2);
}

TEST_F(CommandTest, UnknownIdsOnlyResetAndSkipTheBehaviourCopy) {
    for (unsigned id : {32787u, 32788u, 32789u, 32790u, 32791u, 0u, 32770u, 32801u, 57664u,
                        65535u}) {
        Dirty();
        Shuffled expected = ShuffleFrom(id);
        EXPECT_EQ(RunCommand(id), CommandResult::Unknown) << id;
        ExpectCommandReset(expected);
        EXPECT_EQ(g_mascot.m_prevBehaviour, 4) << id;
        EXPECT_EQ(g_mascot.m_mode, 3) << id;
        EXPECT_EQ(g_zOrder, ZOrderFront) << id;
    }
}

TEST_F(CommandTest, OnlyTheLow16BitsOfWParamNameTheCommand) {
    EXPECT_EQ(RunCommand((0x1234ull << 16) | 32793u), CommandResult::Handled);
    EXPECT_EQ(g_mascot.m_mode, 1);
    EXPECT_EQ(RunCommand((0xFFFFFFFFull << 32) | 32776u), CommandResult::Handled);
    EXPECT_EQ(g_mascot.m_behaviour, 13);
    EXPECT_EQ(RunCommand(0x10000ull | 57665u), CommandResult::Exit);
    EXPECT_EQ(RunCommand(0x10000ull), CommandResult::Unknown);  // low bits 0
}

TEST_F(CommandTest, ExitResetsFirstAndCopiesTheBehaviourWhenFinished) {
    Dirty();
    Shuffled expected = ShuffleFrom(57665);
    EXPECT_EQ(RunCommand(57665), CommandResult::Exit);
    ExpectCommandReset(expected);
    EXPECT_EQ(g_mascot.m_prevBehaviour, 4);  // not before the window is destroyed
    EXPECT_EQ(g_mascot.m_mode, 3);
    FinishCommand();
    EXPECT_EQ(g_mascot.m_prevBehaviour, 9);
}

TEST_F(CommandTest, TwoBehaviourModeFromIdlePicksAfterTwentyDueTicks) {
    RunCommand(32793);
    const int pool[2] = {g_mascot.m_order[0], g_mascot.m_order[1]};
    unsigned now = 0;
    for (int tick = 0; tick < 19; ++tick) {
        RunTick(0, 0, now += 60);  // every tick due (50 ms steps can round below 0.05 s)
        EXPECT_EQ(g_mascot.m_behaviour, 0) << tick;
    }
    RunTick(0, 0, now += 60);
    EXPECT_TRUE(g_mascot.m_behaviour == pool[0] || g_mascot.m_behaviour == pool[1]);
    EXPECT_EQ(g_mascot.m_framesInBehaviour, 0);
}

}  // namespace
