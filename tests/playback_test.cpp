// The screen-box clamp, the playback walk along the smoothed path and the compaction of a long
// history, driven through whole ticks where the order of the steps matters.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core_fixture.h"
#include "tick/commands.h"
#include "trajectory/playback.h"

namespace {

class PlaybackTest : public CoreTest {
protected:
    double ClampedX(double x) {
        mascot.m_posX = x;
        ClampToScreenBox(mascot, store);
        return mascot.m_posX;
    }

    double ClampedY(double y) {
        mascot.m_posY = y;
        ClampToScreenBox(mascot, store);
        return mascot.m_posY;
    }

    // Runs ticks of the fixed Follow behaviour with the target far away; returns tick.m_playIndex.
    int TickOnce(unsigned& now) {
        RunTick(mascot, store, tick, 900, 600, now);
        now += 10;
        return tick.m_playIndex;
    }
};

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
    store.m_keyIndex = 5;
    store.m_keyX[5] = 1200.0;
    store.m_keyY[5] = -5.0;
    store.m_keyX[4] = 1200.0;
    ClampToScreenBox(mascot, store);
    EXPECT_EQ(store.m_keyX[5], 1000.0);
    EXPECT_EQ(store.m_keyY[5], 20.0);
    EXPECT_EQ(store.m_keyX[4], 1200.0);
}

TEST_F(PlaybackTest, AKeyPointOutsideTheBoxIsSmoothedUnclampedOnItsOwnTick) {
    // Follow from (990, 300) toward a target far to the right: the key point leaves the box.
    RunCommand(mascot, tick, 32776);                // Follow
    RunTick(mascot, store, tick, 1020, 320, 1000);  // re-seed at (300, 100)
    store.m_keyX[2] = store.m_keyX[1] = 990.0;
    store.m_keyY[2] = store.m_keyY[1] = 300.0;
    for (int t = 0; t < 10; ++t) RunTick(mascot, store, tick, 1500, 320, 1010 + t * 10);
    ASSERT_EQ(store.m_keyIndex, 3);
    EXPECT_EQ(store.m_keyX[3], 1000.0);  // clamped after the key-frame tick
    // The next key frame appends (1000 + 40, 300): the smoothing sees it before the clamp.
    for (int t = 0; t < 10; ++t) RunTick(mascot, store, tick, 1500, 320, 1110 + t * 10);
    ASSERT_EQ(store.m_keyIndex, 4);
    EXPECT_EQ(store.m_contextX[3], 1040.0);
    EXPECT_EQ(store.m_keyX[4], 1000.0);
}

TEST_F(PlaybackTest, PlayIndexWalksOneSegmentPerKeyFrame) {
    RunCommand(mascot, tick, 32776);  // Follow
    unsigned now = 5000;
    TickOnce(now);  // re-seed: key index 2
    for (int t = 1; t < 20; ++t) {
        EXPECT_EQ(TickOnce(now), 1) << t;  // key index 2, then 3: nothing to play yet
    }
    ASSERT_EQ(store.m_keyIndex, 3);
    // The key-frame tick of key index 4 fills entries 0..10 and moves the index to 2; it
    // reaches 10 on the eighth tick after that and stays there for one tick.
    EXPECT_EQ(TickOnce(now), 2);
    EXPECT_EQ(store.m_keyIndex, 4);
    for (int t = 1; t <= 8; ++t) EXPECT_EQ(TickOnce(now), 2 + t);
    EXPECT_EQ(TickOnce(now), 10);
    for (int k = 5; k <= 8; ++k) {
        EXPECT_EQ(TickOnce(now), 10 * (k - 4) + 1) << k;
        EXPECT_EQ(store.m_keyIndex, k);
        for (int t = 1; t <= 9; ++t) TickOnce(now);
        EXPECT_EQ(tick.m_playIndex, 10 * (k - 3)) << k;
    }
}

TEST_F(PlaybackTest, WithoutAModeTheIndexRunsUpToTheBoundAndStays) {
    store.m_contextCount = 3;
    store.m_subSteps = 10;
    store.m_keyIndex = 6;
    store.m_pathX[30] = 444.0;
    store.m_pathY[30] = 333.0;
    tick.m_playIndex = 25;
    for (int t = 0; t < 12; ++t) RunTick(mascot, store, tick, 0, 0, 100 + t * 10);
    EXPECT_EQ(tick.m_playIndex, 30);
    EXPECT_EQ(mascot.m_posX, 444.0);
    EXPECT_EQ(mascot.m_posY, 333.0);
}

TEST_F(PlaybackTest, CompactionMovesTheNewestPointsToTheStart) {
    store.m_contextCount = 3;
    store.m_subSteps = 10;
    store.m_keyIndex = 301;
    tick.m_playIndex = 2971;
    for (int i = 0; i <= 301; ++i) {
        store.m_keyX[i] = 1000.0 + i;
        store.m_keyY[i] = 2000.0 + i;
    }
    for (int i = 0; i <= 2980; ++i) {
        store.m_pathX[i] = 10000.0 + i;
        store.m_pathY[i] = 20000.0 + i;
    }
    PlayBack(mascot, store, tick.m_playIndex);
    EXPECT_EQ(mascot.m_posX, 12971.0);  // entry p is copied before the compaction
    EXPECT_EQ(mascot.m_posY, 22971.0);
    EXPECT_EQ(store.m_keyIndex, 3);
    EXPECT_EQ(tick.m_playIndex, 1);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(store.m_keyX[i], 1299.0) << i;  // old k - 2
        EXPECT_EQ(store.m_keyY[i], 2299.0) << i;
        EXPECT_EQ(store.m_pathX[i], 12969.0) << i;  // old p - 2
        EXPECT_EQ(store.m_pathY[i], 22969.0) << i;
    }
    EXPECT_EQ(store.m_keyX[3], 1300.0);  // old k - 1; old k is dropped
    EXPECT_EQ(store.m_pathX[3], 12970.0);
    EXPECT_EQ(store.m_keyX[0], 1000.0);
    EXPECT_EQ(store.m_pathX[0], 10000.0);
}

TEST_F(PlaybackTest, NoCompactionUpToKeyIndex300) {
    store.m_keyIndex = 300;
    tick.m_playIndex = 2961;
    store.m_pathX[2961] = 55.0;
    PlayBack(mascot, store, tick.m_playIndex);
    EXPECT_EQ(store.m_keyIndex, 300);
    EXPECT_EQ(tick.m_playIndex, 2961);
    EXPECT_EQ(mascot.m_posX, 55.0);
}

TEST_F(PlaybackTest, ALongRunCompactsOnTheKeyFrameOfIndex301) {
    // Bounce keeps moving for ever; the run goes through the compaction tick by tick.
    RunCommand(mascot, tick, 32786);
    unsigned now = 0;
    int compactions = 0;
    double shownBefore[2] = {0, 0};
    for (int t = 0; t < 3100; ++t) {
        int keyBefore = store.m_keyIndex;
        double entry2969 = store.m_pathX[2969];
        RunTick(mascot, store, tick, 500, 300, now += 10);
        if (keyBefore == 300 && store.m_keyIndex == 3) {
            ++compactions;
            EXPECT_EQ(tick.m_playIndex, 1);
            EXPECT_EQ(mascot.m_playIndexCopy, 1);
            EXPECT_EQ(store.m_pathX[1], entry2969);
            shownBefore[0] = mascot.m_posX;  // entry 2971, placed on the next t
            shownBefore[1] = store.m_pathX[1];
            TickPlacement next = RunTick(mascot, store, tick, 500, 300, now += 10);
            EXPECT_EQ(next.x, static_cast<int>(shownBefore[0]));
            for (int rest = 0; rest < 9; ++rest) {
                EXPECT_EQ(mascot.m_posX, shownBefore[1]) << rest;  // back at the old p - 2
                RunTick(mascot, store, tick, 500, 300, now += 10);
            }
            EXPECT_EQ(store.m_keyIndex, 4);
            EXPECT_EQ(tick.m_playIndex, 2);
            t += 10;
        }
        ASSERT_LE(store.m_keyIndex, 301);
    }
    EXPECT_EQ(compactions, 1);
}

}  // namespace
