// The screen-box clamp, the playback walk along the smoothed path and the compaction of a long
// history, driven through whole ticks where the order of the steps matters.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core_fixture.h"
#include "host/commands.h"
#include "trajectory/playback.h"

namespace {

using PlaybackTest = CoreTest;

double ClampedX(double x) {
    g_mascot.m_posX = x;
    ClampToScreenBox(g_mascot, g_trajectory);
    return g_mascot.m_posX;
}

double ClampedY(double y) {
    g_mascot.m_posY = y;
    ClampToScreenBox(g_mascot, g_trajectory);
    return g_mascot.m_posY;
}

TEST_F(PlaybackTest, ClampKeepsBoundsAndCatchesNotANumber) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ClampedX(1000.0), 1000.0);
    EXPECT_EQ(ClampedX(1000.5), 1000.0);
    EXPECT_EQ(ClampedX(20.0), 20.0);
    EXPECT_EQ(ClampedX(19.99), 20.0);
    EXPECT_EQ(ClampedX(nan), 20.0);
    EXPECT_EQ(ClampedX(inf), 1000.0);
    EXPECT_EQ(ClampedX(-inf), 20.0);
    EXPECT_EQ(ClampedY(680.0), 680.0);
    EXPECT_EQ(ClampedY(680.5), 680.0);
    EXPECT_EQ(ClampedY(19.99), 20.0);
    EXPECT_EQ(ClampedY(nan), 20.0);
}

TEST_F(PlaybackTest, ClampMovesOnlyTheNewestKeyPoint) {
    g_trajectory.m_keyIndex = 5;
    g_trajectory.m_keyX[5] = 1200.0;
    g_trajectory.m_keyY[5] = -5.0;
    g_trajectory.m_keyX[4] = 1200.0;
    ClampToScreenBox(g_mascot, g_trajectory);
    EXPECT_EQ(g_trajectory.m_keyX[5], 1000.0);
    EXPECT_EQ(g_trajectory.m_keyY[5], 20.0);
    EXPECT_EQ(g_trajectory.m_keyX[4], 1200.0);
}

TEST_F(PlaybackTest, AKeyPointOutsideTheBoxIsSmoothedUnclampedOnItsOwnTick) {
    // Follow from (990, 300) toward a target far to the right: the key point leaves the box.
    RunCommand(32776);  // Follow
    RunTick(1020, 320, 1000);  // re-seed at (300, 100)
    g_trajectory.m_keyX[2] = g_trajectory.m_keyX[1] = 990.0;
    g_trajectory.m_keyY[2] = g_trajectory.m_keyY[1] = 300.0;
    for (int tick = 0; tick < 10; ++tick) RunTick(1500, 320, 1010 + tick * 10);
    ASSERT_EQ(g_trajectory.m_keyIndex, 3);
    EXPECT_EQ(g_trajectory.m_keyX[3], 1000.0);  // clamped after the key-frame tick
    // The next key frame appends (1000 + 40, 300): the smoothing sees it before the clamp.
    for (int tick = 0; tick < 10; ++tick) RunTick(1500, 320, 1110 + tick * 10);
    ASSERT_EQ(g_trajectory.m_keyIndex, 4);
    EXPECT_EQ(g_trajectory.m_contextX[3], 1040.0);
    EXPECT_EQ(g_trajectory.m_keyX[4], 1000.0);
}

// Runs ticks of the fixed Follow behaviour with the target far away; returns g_playIndex.
int TickOnce(unsigned& now) {
    RunTick(900, 600, now);
    now += 10;
    return g_playIndex;
}

TEST_F(PlaybackTest, PlayIndexWalksOneSegmentPerKeyFrame) {
    RunCommand(32776);  // Follow
    unsigned now = 5000;
    TickOnce(now);  // re-seed: key index 2
    for (int tick = 1; tick < 20; ++tick) {
        EXPECT_EQ(TickOnce(now), 1) << tick;  // key index 2, then 3: nothing to play yet
    }
    ASSERT_EQ(g_trajectory.m_keyIndex, 3);
    // The key-frame tick of key index 4 fills entries 0..10 and moves the index to 2; it
    // reaches 10 on the eighth tick after that and stays there for one tick.
    EXPECT_EQ(TickOnce(now), 2);
    EXPECT_EQ(g_trajectory.m_keyIndex, 4);
    for (int tick = 1; tick <= 8; ++tick) EXPECT_EQ(TickOnce(now), 2 + tick);
    EXPECT_EQ(TickOnce(now), 10);
    for (int k = 5; k <= 8; ++k) {
        EXPECT_EQ(TickOnce(now), 10 * (k - 4) + 1) << k;
        EXPECT_EQ(g_trajectory.m_keyIndex, k);
        for (int tick = 1; tick <= 9; ++tick) TickOnce(now);
        EXPECT_EQ(g_playIndex, 10 * (k - 3)) << k;
    }
}

TEST_F(PlaybackTest, WithoutAModeTheIndexRunsUpToTheBoundAndStays) {
    g_trajectory.m_contextCount = 3;
    g_trajectory.m_subSteps = 10;
    g_trajectory.m_keyIndex = 6;
    g_trajectory.m_pathX[30] = 444.0;
    g_trajectory.m_pathY[30] = 333.0;
    g_playIndex = 25;
    for (int tick = 0; tick < 12; ++tick) RunTick(0, 0, 100 + tick * 10);
    EXPECT_EQ(g_playIndex, 30);
    EXPECT_EQ(g_mascot.m_posX, 444.0);
    EXPECT_EQ(g_mascot.m_posY, 333.0);
}

TEST_F(PlaybackTest, CompactionMovesTheNewestPointsToTheStart) {
    g_trajectory.m_contextCount = 3;
    g_trajectory.m_subSteps = 10;
    g_trajectory.m_keyIndex = 301;
    g_playIndex = 2971;
    for (int i = 0; i <= 301; ++i) {
        g_trajectory.m_keyX[i] = 1000.0 + i;
        g_trajectory.m_keyY[i] = 2000.0 + i;
    }
    for (int i = 0; i <= 2980; ++i) {
        g_trajectory.m_pathX[i] = 10000.0 + i;
        g_trajectory.m_pathY[i] = 20000.0 + i;
    }
    PlayBack();
    EXPECT_EQ(g_mascot.m_posX, 12971.0);  // entry p is copied before the compaction
    EXPECT_EQ(g_mascot.m_posY, 22971.0);
    EXPECT_EQ(g_trajectory.m_keyIndex, 3);
    EXPECT_EQ(g_playIndex, 1);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(g_trajectory.m_keyX[i], 1299.0) << i;  // old k - 2
        EXPECT_EQ(g_trajectory.m_keyY[i], 2299.0) << i;
        EXPECT_EQ(g_trajectory.m_pathX[i], 12969.0) << i;  // old p - 2
        EXPECT_EQ(g_trajectory.m_pathY[i], 22969.0) << i;
    }
    EXPECT_EQ(g_trajectory.m_keyX[3], 1300.0);  // old k - 1; old k is dropped
    EXPECT_EQ(g_trajectory.m_pathX[3], 12970.0);
    EXPECT_EQ(g_trajectory.m_keyX[0], 1000.0);
    EXPECT_EQ(g_trajectory.m_pathX[0], 10000.0);
}

TEST_F(PlaybackTest, NoCompactionUpToKeyIndex300) {
    g_trajectory.m_keyIndex = 300;
    g_playIndex = 2961;
    g_trajectory.m_pathX[2961] = 55.0;
    PlayBack();
    EXPECT_EQ(g_trajectory.m_keyIndex, 300);
    EXPECT_EQ(g_playIndex, 2961);
    EXPECT_EQ(g_mascot.m_posX, 55.0);
}

TEST_F(PlaybackTest, ALongRunCompactsOnTheKeyFrameOfIndex301) {
    // Bounce keeps moving for ever; the run goes through the compaction tick by tick.
    RunCommand(32786);
    unsigned now = 0;
    int compactions = 0;
    double shownBefore[2] = {0, 0};
    for (int tick = 0; tick < 3100; ++tick) {
        int keyBefore = g_trajectory.m_keyIndex;
        double entry2969 = g_trajectory.m_pathX[2969];
        RunTick(500, 300, now += 10);
        if (keyBefore == 300 && g_trajectory.m_keyIndex == 3) {
            ++compactions;
            EXPECT_EQ(g_playIndex, 1);
            EXPECT_EQ(g_mascot.m_playIndexCopy, 1);
            EXPECT_EQ(g_trajectory.m_pathX[1], entry2969);
            shownBefore[0] = g_mascot.m_posX;  // entry 2971, placed on the next tick
            shownBefore[1] = g_trajectory.m_pathX[1];
            TickPlacement next = RunTick(500, 300, now += 10);
            EXPECT_EQ(next.x, static_cast<int>(shownBefore[0]));
            for (int rest = 0; rest < 9; ++rest) {
                EXPECT_EQ(g_mascot.m_posX, shownBefore[1]) << rest;  // back at the old p - 2
                RunTick(500, 300, now += 10);
            }
            EXPECT_EQ(g_trajectory.m_keyIndex, 4);
            EXPECT_EQ(g_playIndex, 2);
            tick += 10;
        }
        ASSERT_LE(g_trajectory.m_keyIndex, 301);
    }
    EXPECT_EQ(compactions, 1);
}

}  // namespace
