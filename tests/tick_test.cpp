// One tick of the whole system: the first tick, idling (and what the cursor does then), the
// placement, the ducking expiry and the commit of the tick's values.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "core_fixture.h"
#include "tick/commands.h"

namespace {

using TickTest = CoreTest;

TEST_F(TickTest, FirstTickAfterStartUp) {
    mascot.m_lastFrameTime = 3.0;
    TickPlacement p = RunTick(mascot, store, tick, 700, 500, 86400000u);
    EXPECT_EQ(mascot.m_elapsed, 0.0);
    EXPECT_EQ(mascot.m_frameDue, 1);
    EXPECT_EQ(mascot.m_lastFrameTime, 0.0);
    EXPECT_EQ(mascot.m_tickInFrame, 0);  // idle: no mode ran
    EXPECT_EQ(p.x, 300);
    EXPECT_EQ(p.y, 100);
    EXPECT_TRUE(p.topmost);
}

TEST_F(TickTest, IdleMascotStaysPutWhileTheTargetFollowsTheCursor) {
    const int cursors[][2] = {{0, 0}, {1023, 767}, {-50, 4000}, {320, 120}};
    unsigned now = 1000;
    for (const auto& c : cursors) {
        TickPlacement p = RunTick(mascot, store, tick, c[0], c[1], now += 10);
        EXPECT_EQ(p.x, 300);
        EXPECT_EQ(p.y, 100);
        EXPECT_EQ(mascot.m_targetX, c[0] - 20.0);
        EXPECT_EQ(mascot.m_targetY, c[1] - 20.0);
        EXPECT_EQ(store.m_keyIndex, 0);
    }
}

// The placements of 300 ticks of random mode 6 (cursor-led behaviours among them) after `idle`
// ticks with no mode, the idle ones reading the cursor `idleCursor` and the rest a circling one.
std::vector<std::pair<int, int>> PlacementsAfterIdle(int idle, int idleCursor, int radius) {
    auto core = NewFreshCore(5);
    unsigned now = 1000;
    for (int i = 0; i < idle; ++i, now += 10) {
        EXPECT_FALSE(ModeRuns(core->mascot));
        RunTick(core->mascot, core->store, core->tick, idleCursor, idleCursor + i, now);
    }
    RunCommand(core->mascot, core->tick, IDM_RANDOM64);
    std::vector<std::pair<int, int>> placements;
    for (int i = 0; i < 300; ++i, now += 10) {
        EXPECT_TRUE(ModeRuns(core->mascot));
        int x = 500 + static_cast<int>(radius * std::cos(i * 0.05));
        int y = 400 + static_cast<int>(radius * std::sin(i * 0.05));
        TickPlacement p = RunTick(core->mascot, core->store, core->tick, x, y, now);
        placements.emplace_back(p.x, p.y);
    }
    return placements;
}

// Hosts skip the cursor reading while no mode runs: the motion after the first command must be
// the same whatever the cursor was before, though it follows the cursor from then on.
TEST_F(TickTest, WithNoModeTheCursorReadingChangesNothingAfter) {
    std::vector<std::pair<int, int>> reference = PlacementsAfterIdle(40, 700, 300);
    EXPECT_EQ(PlacementsAfterIdle(40, 3, 300), reference);
    EXPECT_NE(PlacementsAfterIdle(40, 700, 200), reference);
    EXPECT_NE(reference.front(), reference.back());
}

TEST_F(TickTest, ModeRunsExactlyWhenTheTickRunsAMode) {
    for (int mode : {-1, 0, 1, 2, 3, 4, 5, 6, 7, 99, 100, 101}) {
        RestartCore();
        mascot.m_mode = mode;
        bool runs = ModeRuns(mascot);
        RunTick(mascot, store, tick, 0, 0, 10);
        EXPECT_EQ(runs, mascot.m_tickInFrame != 0) << "mode " << mode;
        EXPECT_EQ(runs, (mode >= 1 && mode <= 6) || mode == kModeFixed) << "mode " << mode;
    }
}

TEST_F(TickTest, PlacementTruncatesTheClampedPosition) {
    mascot.m_posX = 999.9;
    mascot.m_posY = 20.0;
    TickPlacement p = RunTick(mascot, store, tick, 0, 0, 10);
    EXPECT_EQ(p.x, 999);
    EXPECT_EQ(p.y, 20);
    mascot.m_posX = 1500.0;
    mascot.m_posY = -3.5;
    p = RunTick(mascot, store, tick, 0, 0, 20);
    EXPECT_EQ(p.x, 1000);
    EXPECT_EQ(p.y, 20);
}

TEST_F(TickTest, PlayIndexWaitsForKeyIndexFourThenClimbsToTen) {
    store.m_contextCount = 3;
    store.m_subSteps = 10;
    store.m_keyIndex = 3;
    for (int i = 0; i < 5; ++i) RunTick(mascot, store, tick, 0, 0, i * 10);
    EXPECT_EQ(tick.m_playIndex, 1);
    store.m_keyIndex = 4;
    for (int expected = 2; expected <= 10; ++expected) {
        RunTick(mascot, store, tick, 0, 0, 100 + expected * 10);
        EXPECT_EQ(tick.m_playIndex, expected);
    }
    for (int i = 0; i < 5; ++i) RunTick(mascot, store, tick, 0, 0, 300 + i * 10);
    EXPECT_EQ(tick.m_playIndex, 10);
}

// Ticks at the given elapsed milliseconds of the epoch that starts with the first tick.
class DuckTest : public CoreTest {
protected:
    TickPlacement At(unsigned elapsedMs) {
        return RunTick(mascot, store, tick, 500, 500, kEpochStart + elapsedMs);
    }
    static constexpr unsigned kEpochStart = 7000;
};

TEST_F(DuckTest, ADuckEndsTenSecondsAfterTheClickAfterThatTicksPlacement) {
    At(0);
    At(5000);
    DuckOnClick(mascot, tick);
    EXPECT_EQ(tick.m_clickTime, 5.0);
    EXPECT_FALSE(At(5010).topmost);
    EXPECT_FALSE(At(14990).topmost);
    EXPECT_EQ(tick.m_zOrder, ZOrderDucked);
    EXPECT_FALSE(At(15000).topmost);  // placed at the bottom, and the state ends
    EXPECT_EQ(mascot.m_elapsed, 15.0);
    EXPECT_EQ(tick.m_zOrder, ZOrderFront);
    EXPECT_TRUE(At(15010).topmost);
}

TEST_F(DuckTest, AClickEndsTheAlwaysBehindState) {
    At(0);
    tick.m_zOrder = ZOrderBehind;
    EXPECT_FALSE(At(30000).topmost);  // never expires by itself
    EXPECT_EQ(tick.m_zOrder, ZOrderBehind);
    DuckOnClick(mascot, tick);
    At(39990);
    EXPECT_EQ(tick.m_zOrder, ZOrderDucked);
    At(40000);
    EXPECT_TRUE(At(40010).topmost);
}

TEST_F(DuckTest, ACommandRestartsTheClockButKeepsTheClickTime) {
    At(0);
    At(8000);
    DuckOnClick(mascot, tick);        // click time 8.0
    RunCommand(mascot, tick, 32799);  // always behind: no bearing on the click time...
    RunCommand(mascot, tick, 32792);  // ...then ducked again, without a new click time
    EXPECT_EQ(tick.m_clickTime, 8.0);
    At(9000);  // new epoch: elapsed 0
    EXPECT_EQ(mascot.m_elapsed, 0.0);
    At(9000 + 17990);
    EXPECT_EQ(tick.m_zOrder, ZOrderDucked);
    At(9000 + 18000);
    EXPECT_EQ(tick.m_zOrder, ZOrderFront);
}

TEST_F(TickTest, LastFrameTimeIsRecordedOnDueTicksOnly) {
    RunTick(mascot, store, tick, 0, 0, 1000);
    RunTick(mascot, store, tick, 0, 0, 1030);
    EXPECT_EQ(mascot.m_frameDue, 0);
    EXPECT_EQ(mascot.m_lastFrameTime, 0.0);
    RunTick(mascot, store, tick, 0, 0, 1060);
    EXPECT_EQ(mascot.m_frameDue, 1);
    EXPECT_DOUBLE_EQ(mascot.m_lastFrameTime, 0.06);
}

}  // namespace
