// The step driver: re-seed, key-frame cadence, straight and orbit placement, the speed-scale
// rules, the entry rule of behaviour 15, and the random modes' switching.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "core_fixture.h"

namespace {

constexpr double kOrbitToRadians = 0.01745327777777778;

class StepTest : public CoreTest {
protected:
    // Re-seeds the history at (x, y) as the first key frame after the reset does.
    void Seed(double x, double y) {
        mascot.m_posX = x;
        mascot.m_posY = y;
        mascot.m_tickInFrame = 0;
        mascot.Step(mascot, store);
    }
    // One key-frame Step; returns the index of the key point it placed.
    int KeyFrame() {
        mascot.m_tickInFrame = 0;
        mascot.Step(mascot, store);
        return store.m_keyIndex;
    }
    // What the tick pipeline does after the step that matters here: the commit of the centre.
    void CommitCentre() {
        mascot.m_prevKeyX = mascot.m_keyX;
        mascot.m_prevKeyY = mascot.m_keyY;
    }

    // Sets up a Circle key frame around a centre at (500, 350) with the target on the centre.
    void PrepareCircle(double angle, double scale) {
        mascot.m_behaviour = 12;
        mascot.m_orbiting = 1;
        mascot.m_orbitRadius = 110;
        mascot.m_orbitAngle = angle;
        mascot.m_speedScale = scale;
        mascot.m_keyX = mascot.m_prevKeyX = 500.0;
        mascot.m_keyY = mascot.m_prevKeyY = 350.0;
        mascot.m_targetX = 500.0;
        mascot.m_targetY = 350.0;
        mascot.m_step = 0.0;
    }

    // Catch far from its target: it stays in the caught state only if that state was kept.
    int PursuitAfterCatch(int prevBehaviour) {
        RestartCore();
        mascot.m_behaviour = 15;
        store.m_needsReset = 0;
        store.m_contextCount = 3;
        store.m_keyIndex = 3;
        store.m_keyX[2] = 500.0;
        store.m_keyX[3] = 510.0;
        store.m_keyY[2] = store.m_keyY[3] = 350.0;
        mascot.m_targetX = 900.0;
        mascot.m_targetY = 350.0;
        mascot.m_speedLevel = 12;
        mascot.m_phase = 2;
        mascot.m_pursuit = 1;
        mascot.m_prevBehaviour = prevBehaviour;
        mascot.m_tickInFrame = 0;
        mascot.Step(mascot, store);
        return mascot.m_pursuit;
    }
};

TEST_F(StepTest, FirstKeyFrameAfterTheResetReseedsAndRunsNoBehaviour) {
    mascot.m_behaviour = 13;
    mascot.m_speedLevel = 9;
    Seed(123.7, 456.2);
    EXPECT_EQ(store.m_keyIndex, 2);
    EXPECT_EQ(store.m_needsReset, 0);
    EXPECT_EQ(store.m_contextCount, 3);
    EXPECT_EQ(store.m_subSteps, 10);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(store.m_keyX[i], 123.7);
        EXPECT_EQ(store.m_keyY[i], 456.2);
    }
    EXPECT_EQ(store.m_keyX[0], 300.0);
    EXPECT_EQ(store.m_keyY[0], 100.0);
    EXPECT_EQ(mascot.m_keyX, 300.0);    // not orbiting: the mascot's key point is left alone
    EXPECT_EQ(mascot.m_speedLevel, 9);  // Follow would have set 5
    EXPECT_EQ(mascot.m_frameSpeedScale, 0.0);
}

TEST_F(StepTest, ReseedWhileOrbitingMovesTheCentreToWholePixels) {
    mascot.m_orbiting = 1;
    Seed(123.7, 456.2);
    EXPECT_EQ(mascot.m_keyX, 123.0);
    EXPECT_EQ(mascot.m_keyY, 456.0);
}

TEST_F(StepTest, TicksBetweenKeyFramesOnlyAimAndSmooth) {
    mascot.m_behaviour = 13;
    Seed(300.0, 300.0);
    mascot.m_targetX = 330.0;
    mascot.m_targetY = 340.0;
    for (int t = 1; t <= 9; ++t) {
        mascot.m_tickInFrame = t;
        mascot.Step(mascot, store);
        EXPECT_EQ(store.m_keyIndex, 2);
        EXPECT_EQ(mascot.m_orbiting, 0);
        EXPECT_EQ(mascot.m_frameSpeedScale, 0.0);
    }
    EXPECT_EQ(mascot.m_targetDist, 50.0);
    mascot.m_tickInFrame = 10;  // wraps to 0: a key frame
    mascot.Step(mascot, store);
    EXPECT_EQ(mascot.m_tickInFrame, 0);
    EXPECT_EQ(store.m_keyIndex, 3);
    EXPECT_EQ(mascot.m_frameSpeedScale, 1.0);
}

TEST_F(StepTest, StraightMotionAddsTheStepAlongTheDirection) {
    mascot.m_behaviour = 13;  // Follow: 40 pixels straight at the target
    Seed(200.0, 100.0);
    mascot.m_targetX = 500.0;
    mascot.m_targetY = 500.0;
    int i = KeyFrame();
    EXPECT_EQ(store.m_keyX[i], 224.0);
    EXPECT_EQ(store.m_keyY[i], 132.0);
    EXPECT_EQ(mascot.m_keyX, 224.0);
    EXPECT_EQ(mascot.m_keyY, 132.0);
}

TEST_F(StepTest, AStepThatIsNotRecomputedIsScaledAgainEveryKeyFrame) {
    // Flee held at level 20 keeps its step; scale 1.5 compounds it, 0.5 shrinks it.
    for (double scale : {1.5, 0.5}) {
        RestartCore();
        mascot.m_behaviour = 11;
        Seed(500.0, 350.0);
        mascot.m_speedScale = scale;
        mascot.m_speedLevel = 20;
        mascot.m_step = 10.0;
        mascot.m_targetX = 540.0;
        mascot.m_targetY = 350.0;
        double expected = 10.0;
        for (int frame = 0; frame < 3; ++frame) {
            double before = store.m_keyX[store.m_keyIndex];
            int i = KeyFrame();
            expected *= scale;
            EXPECT_EQ(mascot.m_step, expected) << scale << " frame " << frame;
            EXPECT_NEAR(std::fabs(store.m_keyX[i] - before), expected, 1e-9);
        }
    }
}

TEST_F(StepTest, OrbitAdvanceIsScaledAndReducedOnce) {
    const struct {
        double from, scale, to;
    } cases[] = {{100, 0.5, 115}, {100, 1.5, 145}, {342, 1.0, 12}, {700, 1.0, 370}};
    for (const auto& c : cases) {
        RestartCore();
        Seed(500.0, 350.0);
        PrepareCircle(c.from, c.scale);
        KeyFrame();
        EXPECT_EQ(mascot.m_orbitAngle, c.to) << c.from << " x" << c.scale;
        EXPECT_EQ(mascot.m_step, 0.0);  // orbit steps are not scaled
    }
}

TEST_F(StepTest, OrbitAngleZeroIsBelowTheCentreAndNinetyToItsLeft) {
    Seed(500.0, 350.0);
    PrepareCircle(330.0, 1.0);
    int i = KeyFrame();
    EXPECT_EQ(mascot.m_orbitAngle, 0.0);
    EXPECT_EQ(store.m_keyX[i], 500.0);
    EXPECT_EQ(store.m_keyY[i], 350.0 + mascot.m_orbitRadius);
    PrepareCircle(60.0, 1.0);
    i = KeyFrame();
    EXPECT_NEAR(store.m_keyX[i], 500.0 - mascot.m_orbitRadius, 1e-3);
    EXPECT_NEAR(store.m_keyY[i], 350.0, 1e-3);
    EXPECT_EQ(mascot.m_keyX, 500.0);  // the mascot keeps the centre
}

TEST_F(StepTest, TrembleRadiusIsScaledByTheTruncatedSpeedScale) {
    for (double scale : {0.25, 0.5, 0.75, 1.0, 1.25, 1.75}) {
        for (unsigned seed = 1; seed <= 10; ++seed) {
            RestartCore();
            Seed(500.0, 350.0);
            std::srand(seed);
            mascot.m_behaviour = 14;
            mascot.m_speedScale = scale;
            mascot.m_targetX = 505.0;  // within 20: the centre stays
            mascot.m_targetY = 350.0;
            int i = KeyFrame();
            double dx = store.m_keyX[i] - mascot.m_keyX;
            double dy = store.m_keyY[i] - mascot.m_keyY;
            double offset = std::sqrt(dx * dx + dy * dy);
            EXPECT_NEAR(offset, std::abs(mascot.m_orbitRadius), 1e-9);
            if (scale < 1.0) {
                EXPECT_EQ(mascot.m_orbitRadius, 0) << scale;
            }
            EXPECT_LE(std::abs(mascot.m_orbitRadius), 10);
        }
    }
}

TEST_F(StepTest, TumbleKeepsTheKeyPointUnderItsMovedCentre) {
    // With scale 1 the centre's swing and the placement cancel: the key point lies straight
    // above or below the centre as moved, 60 to the left of it in a turn with the counter at 1.
    for (int laps : {0, 1}) {
        RestartCore();
        mascot.m_behaviour = 5;
        Seed(500.0, 350.0);
        mascot.m_orbiting = 1;
        mascot.m_orbitAngle = 30.0;
        mascot.m_orbitRadius = 40;
        mascot.m_laps = laps;
        mascot.m_prevKeyX = 500.0;
        mascot.m_prevKeyY = 350.0;
        int i = KeyFrame();
        double moved = mascot.m_dirX * mascot.m_step + 500.0;
        EXPECT_NEAR(store.m_keyX[i], moved - 60.0 * laps, 1e-9) << laps;
        double expectedY = mascot.m_keyY + std::cos(mascot.m_orbitAngle * kOrbitToRadians) * 40;
        EXPECT_EQ(store.m_keyY[i], expectedY);
    }
}

TEST_F(StepTest, EnteringCatchClearsTheCaughtStateOnlyFromAnotherBehaviour) {
    EXPECT_EQ(PursuitAfterCatch(8), 1);   // dashing again: the cruise control is not used
    EXPECT_EQ(PursuitAfterCatch(15), 0);  // still caught: the cruise control ran
}

class RandomModeTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        std::srand(11);
        mascot.ShuffleOrder();
        mascot.m_behaviour = 0;
        mascot.m_tickInFrame = 1;  // not a key frame: the switch only picks
    }
};

TEST_F(RandomModeTest, OnlyDueFramesCountAndTheSwitchComesAtTwenty) {
    mascot.m_framesInBehaviour = 18;
    mascot.m_frameDue = 1;
    mascot.RunRandom16(mascot, store);
    EXPECT_EQ(mascot.m_framesInBehaviour, 19);
    mascot.m_frameDue = 0;
    mascot.RunRandom16(mascot, store);
    EXPECT_EQ(mascot.m_framesInBehaviour, 19);
    auto d = Draws(3, {16});
    mascot.m_speedScale = 1.75;
    mascot.m_frameDue = 1;
    mascot.RunRandom16(mascot, store);
    EXPECT_EQ(mascot.m_framesInBehaviour, 0);
    EXPECT_EQ(mascot.m_behaviour, mascot.m_order[d[0]]);
    EXPECT_EQ(mascot.m_speedScale, 1.0);
    EXPECT_EQ(store.m_keyIndex, 0);  // not a key frame
}

TEST_F(RandomModeTest, PoolsAreTheFirstSlotsOfTheOrder) {
    using Mode = void (CMascot::*)(CMascot&, CTrajectory&);
    const struct {
        Mode run;
        int pool;
    } modes[] = {{&CMascot::RunRandom2, 2}, {&CMascot::RunRandom4, 4}, {&CMascot::RunRandom8, 8}};
    for (const auto& m : modes) {
        for (unsigned seed = 1; seed <= 10; ++seed) {
            auto d = Draws(seed, {m.pool});
            mascot.m_framesInBehaviour = 19;
            mascot.m_frameDue = 1;
            // Through a pointer: GCC 12's vptr check misreads a call on a reference member.
            CMascot* self = &mascot;
            (self->*m.run)(mascot, store);
            EXPECT_EQ(mascot.m_behaviour, mascot.m_order[d[0]]);
        }
    }
}

TEST_F(RandomModeTest, SpeedModesDrawTheScaleAfterTheBehaviour) {
    for (unsigned seed = 1; seed <= 10; ++seed) {
        auto d = Draws(seed, {16, 2});
        mascot.m_framesInBehaviour = 19;
        mascot.m_frameDue = 1;
        mascot.RunRandom32(mascot, store);
        EXPECT_EQ(mascot.m_behaviour, mascot.m_order[d[0]]);
        EXPECT_EQ(mascot.m_speedScale, d[1] == 0 ? 0.5 : 1.5);
        d = Draws(seed, {16, 4});
        mascot.m_framesInBehaviour = 19;
        mascot.RunRandom64(mascot, store);
        EXPECT_EQ(mascot.m_behaviour, mascot.m_order[d[0]]);
        EXPECT_EQ(mascot.m_speedScale, 0.25 + 0.5 * d[1]);
    }
}

}  // namespace
