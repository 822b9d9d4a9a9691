// The key-frame clock (epochs, due frames, the 32-bit wrap) and the shuffled behaviour order.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "core_fixture.h"

namespace {

class ClockTest : public CoreTest {
protected:
    void Update(unsigned ms) { mascot.UpdateClock(ms, tick.m_restartClock); }
};

TEST_F(ClockTest, FirstTickOfAnEpochIsDueWhateverTheLastFrameTime) {
    mascot.m_lastFrameTime = 37.5;  // a long previous epoch
    Update(123456);
    EXPECT_EQ(mascot.m_startTick, 123456.0);
    EXPECT_EQ(tick.m_restartClock, 0);
    EXPECT_EQ(mascot.m_elapsed, 0.0);
    EXPECT_EQ(mascot.m_frameDue, 1);
}

TEST_F(ClockTest, TwoTicksWithTheSameReadingAtTheStartAreBothDue) {
    Update(5000);
    Update(5000);
    EXPECT_EQ(mascot.m_frameDue, 1);
}

TEST_F(ClockTest, DueFramesAreSpacedByAtLeastFiftyMilliseconds) {
    Update(1000);
    mascot.m_lastFrameTime = 0.0;
    Update(1049);
    EXPECT_EQ(mascot.m_frameDue, 0);
    Update(1050);
    EXPECT_EQ(mascot.m_elapsed, 0.05);
    EXPECT_EQ(mascot.m_frameDue, 1);
}

TEST_F(ClockTest, AReadingThatHasNotMovedSinceTheLastDueTickIsNotDue) {
    Update(1000);
    Update(1300);
    mascot.m_lastFrameTime = mascot.m_elapsed;
    Update(1300);
    EXPECT_EQ(mascot.m_frameDue, 0);
}

TEST_F(ClockTest, OnlyARestartStartsANewEpoch) {
    Update(1000);
    Update(3000);
    EXPECT_EQ(mascot.m_startTick, 1000.0);
    EXPECT_EQ(mascot.m_elapsed, 2.0);
    tick.m_restartClock = 1;
    Update(9000);
    EXPECT_EQ(mascot.m_startTick, 9000.0);
    EXPECT_EQ(mascot.m_elapsed, 0.0);
}

TEST_F(ClockTest, TheMillisecondCountWrapsModuloTwoToThe32) {
    Update(4294967290u);  // 6 ms before the wrap
    mascot.m_lastFrameTime = 0.0;
    Update(4u);
    EXPECT_DOUBLE_EQ(mascot.m_elapsed, 0.010);
    EXPECT_EQ(mascot.m_frameDue, 0);
    Update(44u);
    EXPECT_DOUBLE_EQ(mascot.m_elapsed, 0.050);
    EXPECT_EQ(mascot.m_frameDue, 1);
    EXPECT_EQ(mascot.m_nowTick, 44.0);
}

// Even slots hold 0..7 once each, odd slots 8..15 once each.
void ExpectValidOrder(const int (&order)[16]) {
    std::vector<int> seen(16, 0);
    for (int slot = 0; slot < 16; ++slot) {
        int id = order[slot];
        ASSERT_GE(id, slot % 2 == 0 ? 0 : 8) << slot;
        ASSERT_LE(id, slot % 2 == 0 ? 7 : 15) << slot;
        seen[id] += 1;
    }
    for (int id = 0; id < 16; ++id) EXPECT_EQ(seen[id], 1) << id;
}

TEST_F(CoreTest, ShuffleAlwaysGivesAValidArrangement) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::srand(seed);
        mascot.ShuffleOrder();
        ExpectValidOrder(mascot.m_order);
    }
}

TEST_F(CoreTest, ShuffleDrawsInSlotOrderAndRedrawsRepeats) {
    // Reference: each slot takes the first draw of its half that is not yet placed.
    const unsigned seed = 2024;
    std::srand(seed);
    int expected[16];
    bool placed[16] = {};
    int draws = 0;
    for (int slot = 0; slot < 16; ++slot) {
        int id;
        do {
            id = std::rand() % 8 + (slot % 2) * 8;
            ++draws;
        } while (placed[id]);
        placed[id] = true;
        expected[slot] = id;
    }
    std::srand(seed);
    mascot.ShuffleOrder();
    int next = std::rand();
    for (int slot = 0; slot < 16; ++slot) EXPECT_EQ(mascot.m_order[slot], expected[slot]);
    EXPECT_EQ(next, RawDrawAfter(seed, draws)) << "the shuffle took a different number of draws";
}

}  // namespace
