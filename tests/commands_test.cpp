// The command table: the reset every command makes, fixed behaviours, modes, z-order, exit,
// ids no menu item carries, unknown ids and the low-16-bit rule.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "core_fixture.h"
#include "tick/commands.h"

namespace {

// The order and the random state a shuffle after srand(seed) leaves, made on a separate record.
struct Shuffled {
    int order[16];
    int nextDraw;
};

class CommandTest : public CoreTest {
protected:
    // Puts the mascot into a state that the command reset visibly changes.
    void Dirty() {
        tick.m_restartClock = 0;
        mascot.m_speedLevel = 17;
        mascot.m_framesInBehaviour = 13;
        mascot.m_behaviour = 9;
        mascot.m_prevBehaviour = 4;
        mascot.m_mode = 3;
    }

    void ExpectCommandReset(const Shuffled& expected) {
        EXPECT_EQ(tick.m_restartClock, 1);
        EXPECT_EQ(mascot.m_speedLevel, 1);
        EXPECT_EQ(mascot.m_framesInBehaviour, 0);
        EXPECT_EQ(std::memcmp(mascot.m_order, expected.order, sizeof expected.order), 0);
    }
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

TEST_F(CommandTest, FixedBehaviourIds) {
    const int behaviourOf[16] = {8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7};
    for (unsigned id = 32771; id <= 32786; ++id) {
        Dirty();
        Shuffled expected = ShuffleFrom(id);
        EXPECT_EQ(RunCommand(mascot, tick, id), CommandResult::Handled) << id;
        ExpectCommandReset(expected);
        EXPECT_EQ(mascot.m_behaviour, behaviourOf[id - 32771]) << id;
        EXPECT_EQ(mascot.m_prevBehaviour, mascot.m_behaviour) << id;
        EXPECT_EQ(mascot.m_mode, 100) << id;
    }
}

TEST_F(CommandTest, StopRunsBrakeInTheFixedMode) {
    EXPECT_EQ(RunCommand(mascot, tick, 32779), CommandResult::Handled);
    EXPECT_EQ(mascot.m_behaviour, 0);
    EXPECT_EQ(mascot.m_mode, 100);
    RunTick(mascot, store, tick, 0, 0, 0);
    EXPECT_EQ(mascot.m_tickInFrame, 1);  // no longer idle
}

TEST_F(CommandTest, CornerCommandDrawsTheCornerAfterTheShuffle) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        Shuffled expected = ShuffleFrom(seed);
        RunCommand(mascot, tick, 32785);
        EXPECT_EQ(mascot.m_corner, expected.nextDraw % 4 + 1) << seed;
        EXPECT_EQ(mascot.m_behaviour, 6);
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
        EXPECT_EQ(RunCommand(mascot, tick, c.id), CommandResult::Handled);
        ExpectCommandReset(expected);
        EXPECT_EQ(mascot.m_mode, c.mode) << c.id;
        EXPECT_EQ(mascot.m_behaviour, 9);  // the current behaviour goes on
        EXPECT_EQ(mascot.m_prevBehaviour, 9);
    }
}

TEST_F(CommandTest, ZOrderCommands) {
    tick.m_clickTime = 4.5;
    mascot.m_mode = 2;
    EXPECT_EQ(RunCommand(mascot, tick, 32792), CommandResult::Handled);
    EXPECT_EQ(tick.m_zOrder, ZOrderDucked);
    EXPECT_EQ(tick.m_clickTime, 4.5);
    EXPECT_EQ(RunCommand(mascot, tick, 32799), CommandResult::Handled);
    EXPECT_EQ(tick.m_zOrder, ZOrderBehind);
    EXPECT_EQ(RunCommand(mascot, tick, 32800), CommandResult::Handled);
    EXPECT_EQ(tick.m_zOrder, ZOrderFront);
    EXPECT_EQ(mascot.m_mode, 2);
}

TEST_F(CommandTest, UnknownIdsOnlyResetAndSkipTheBehaviourCopy) {
    for (unsigned id :
         {32787u, 32788u, 32789u, 32790u, 32791u, 0u, 32770u, 32801u, 57664u, 65535u}) {
        Dirty();
        Shuffled expected = ShuffleFrom(id);
        EXPECT_EQ(RunCommand(mascot, tick, id), CommandResult::Unknown) << id;
        ExpectCommandReset(expected);
        EXPECT_EQ(mascot.m_prevBehaviour, 4) << id;
        EXPECT_EQ(mascot.m_mode, 3) << id;
        EXPECT_EQ(tick.m_zOrder, ZOrderFront) << id;
    }
}

// The table takes a plain id: a value past 16 bits names no command (the hosts pass the low word).
TEST_F(CommandTest, IdsPast16BitsAreUnknownNotWrapped) {
    for (unsigned id :
         {0x10000u | 32793u, 0xFFFF0000u | 32776u, 0x10000u | 57665u, 0x10000u, 0xFFFFFFFFu}) {
        mascot.m_mode = 3;
        EXPECT_EQ(RunCommand(mascot, tick, id), CommandResult::Unknown) << id;
        EXPECT_EQ(mascot.m_mode, 3) << id;
    }
}

TEST_F(CommandTest, ExitResetsFirstAndCopiesTheBehaviourWhenFinished) {
    Dirty();
    Shuffled expected = ShuffleFrom(57665);
    EXPECT_EQ(RunCommand(mascot, tick, 57665), CommandResult::Exit);
    ExpectCommandReset(expected);
    EXPECT_EQ(mascot.m_prevBehaviour, 4);  // not before the window is destroyed
    EXPECT_EQ(mascot.m_mode, 3);
    FinishCommand(mascot);
    EXPECT_EQ(mascot.m_prevBehaviour, 9);
}

TEST_F(CommandTest, TwoBehaviourModeFromIdlePicksAfterTwentyDueTicks) {
    RunCommand(mascot, tick, 32793);
    const int pool[2] = {mascot.m_order[0], mascot.m_order[1]};
    unsigned now = 0;
    for (int t = 0; t < 19; ++t) {
        RunTick(mascot, store, tick, 0, 0,
                now += 60);  // every tick due (50 ms steps can round below 0.05 s)
        EXPECT_EQ(mascot.m_behaviour, 0) << t;
    }
    RunTick(mascot, store, tick, 0, 0, now += 60);
    EXPECT_TRUE(mascot.m_behaviour == pool[0] || mascot.m_behaviour == pool[1]);
    EXPECT_EQ(mascot.m_framesInBehaviour, 0);
}

}  // namespace
