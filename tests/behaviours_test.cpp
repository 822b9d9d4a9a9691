// The sixteen behaviours one key frame at a time, called as the step driver calls them: with the
// store's key index already advanced, so the newest key point is at index 3.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "core_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class BehaviourTest : public CoreTest {
protected:
    void RunBrake() { mascot.Brake(mascot, store); }

    void ChaseAt(double distance) {
        mascot.m_targetDist = distance;
        mascot.m_toTargetX = 0.8;
        mascot.m_toTargetY = -0.6;
        mascot.Chase(mascot, store);
    }

    // Catch's setup: far from the target, dashing, level high enough that no level is drawn.
    void PrepareCatch(double dirX, double dirY) {
        PlaceNewest(500.0, 350.0, 490.0, 350.0);
        mascot.m_dirX = dirX;
        mascot.m_dirY = dirY;
        mascot.m_targetDist = 400.0;
        mascot.m_phase = 0;
        mascot.m_speedLevel = 12;
    }
};
using RoamingTest = BehaviourTest;
using ChasingTest = BehaviourTest;
using OrbitingTest = BehaviourTest;

TEST_F(RoamingTest, BrakeLosesFourLevelsPerKeyFrameFromACapOfTen) {
    mascot.m_speedLevel = 15;
    mascot.m_cruiseSpeed = 80.0;
    mascot.m_dirX = 0.6;
    RunBrake();
    EXPECT_EQ(mascot.m_speedLevel, 6);
    EXPECT_EQ(mascot.m_step, 24.0);
    RunBrake();
    EXPECT_EQ(mascot.m_speedLevel, 2);
    RunBrake();
    EXPECT_EQ(mascot.m_speedLevel, 0);
    EXPECT_EQ(mascot.m_step, 0.0);
    EXPECT_EQ(mascot.m_dirX, 0.6);  // the course is kept
    EXPECT_EQ(mascot.m_cruiseSpeed, 80.0);
}

TEST_F(RoamingTest, BrakeBelowScaleOneKeepsTheSpeed) {
    mascot.m_speedScale = 0.5;
    mascot.m_speedLevel = 15;
    RunBrake();
    RunBrake();
    EXPECT_EQ(mascot.m_speedLevel, 10);
    mascot.m_speedLevel = 7;
    RunBrake();
    EXPECT_EQ(mascot.m_speedLevel, 7);
    mascot.m_speedScale = 1.75;  // truncated to 1: still 4 levels
    RunBrake();
    EXPECT_EQ(mascot.m_speedLevel, 3);
}

TEST_F(RoamingTest, JitterStepsAlongPlusSineOfTheDrawnAngle) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        auto d = Draws(seed, {21, 361});
        mascot.m_heading = 33.0;
        mascot.Jitter(mascot, store);
        const double angle = d[1] * kPi / 180.0;
        EXPECT_EQ(mascot.m_step, d[0] + 5.0);
        EXPECT_EQ(mascot.m_cruiseSpeed, d[0] + 5.0);
        EXPECT_EQ(mascot.m_speedLevel, 5);
        EXPECT_NEAR(mascot.m_dirX, std::cos(angle), 1e-6);
        EXPECT_NEAR(mascot.m_dirY, std::sin(angle), 1e-6);
        EXPECT_EQ(mascot.m_heading, 33.0);
    }
}

struct WanderRow {
    double x, y;
    int base;  // heading = base + sign * draw
    int sign;
    int modulus;
};

TEST_F(RoamingTest, WanderPicksTheBurstHeadingByTheFirstMatchingRow) {
    const WanderRow rows[] = {
        {50, 50, 265, +1, 101},   {50, 650, 95, -1, 101},   {950, 50, 175, +1, 101},
        {950, 650, 85, +1, 101},  {100, 300, 105, -1, 211}, {920, 300, 75, +1, 211},
        {500, 100, 165, +1, 211}, {500, 600, 195, -1, 211}, {100, 100, 105, -1, 211},
        {920, 600, 75, +1, 211},  {500, 300, 40, +1, 361},  // elsewhere: turn from heading 40
    };
    for (const WanderRow& row : rows) {
        RestartCore();
        const unsigned seed = 7;
        auto d = Draws(seed, {2, row.modulus, 71, 2, 10, 6});
        PlaceNewest(row.x, row.y);
        mascot.m_heading = 40.0;
        mascot.m_wanderStep = 0;
        mascot.Wander(mascot, store);
        EXPECT_EQ(mascot.m_heading, row.base + row.sign * d[1]) << row.x << "," << row.y;
        EXPECT_EQ(mascot.m_cruiseSpeed, d[2] + 50.0);
        EXPECT_EQ(mascot.m_wanderBurst, d[4] + 2);
        EXPECT_EQ(mascot.m_wanderEnd, d[5] + d[4] + 2);
        EXPECT_EQ(mascot.m_wanderStep, 1);
    }
}

// A seed whose first draw of rand() % 2 is `value`.
unsigned SeedWithFirstCoin(int value) {
    for (unsigned seed = 1;; ++seed) {
        std::srand(seed);
        if (std::rand() % 2 == value) return seed;
    }
}

TEST_F(RoamingTest, WanderHaltsAndEndsTheBurstOnTheSameKeyFrame) {
    std::srand(SeedWithFirstCoin(0));
    PlaceNewest(500.0, 300.0);
    mascot.m_dirX = 0.6;
    mascot.m_dirY = 0.8;
    mascot.m_wanderStep = 5;
    mascot.m_wanderBurst = 5;
    mascot.m_wanderEnd = 5;
    mascot.Wander(mascot, store);
    EXPECT_EQ(mascot.m_dirX, 0.0);
    EXPECT_EQ(mascot.m_dirY, 0.0);
    EXPECT_EQ(mascot.m_wanderStep, 0);  // the next key frame starts a new burst
}

TEST_F(RoamingTest, WanderSlowsToACrawlOrToRest) {
    PlaceNewest(500.0, 300.0);
    mascot.m_wanderStep = 4;
    mascot.m_wanderBurst = 5;  // 4 is not below 5 - 2: slowing
    mascot.m_wanderEnd = 9;
    mascot.m_speedLevel = 7;
    mascot.m_cruiseSpeed = 100.0;
    mascot.Wander(mascot, store);
    EXPECT_EQ(mascot.m_speedLevel, 3);
    EXPECT_EQ(mascot.m_step, 15.0);
    mascot.m_speedLevel = 1;  // 2 after the first addition, then 1..3 less, floored at 0
    mascot.Wander(mascot, store);
    EXPECT_GE(mascot.m_speedLevel, 0);
    EXPECT_LE(mascot.m_speedLevel, 1);
}

TEST_F(RoamingTest, WanderAtLevelTwentyKeepsThePreviousStep) {
    PlaceNewest(500.0, 300.0);
    mascot.m_wanderStep = 1;
    mascot.m_wanderBurst = 11;
    mascot.m_wanderEnd = 16;
    mascot.m_speedLevel = 19;
    mascot.m_step = 12.5;
    mascot.Wander(mascot, store);
    EXPECT_EQ(mascot.m_speedLevel, 20);
    EXPECT_EQ(mascot.m_step, 12.5);
}

TEST_F(RoamingTest, CornerRetreatHeadsForItsCorner) {
    mascot.m_corner = 3;
    mascot.m_posX = 500.0;
    mascot.m_posY = 340.0;
    mascot.m_cruiseSpeed = 77.0;
    mascot.RetreatToCorner(mascot, store);
    const double length = std::sqrt(500.0 * 500.0 + 340.0 * 340.0);
    EXPECT_DOUBLE_EQ(mascot.m_dirX, 500.0 / length);
    EXPECT_DOUBLE_EQ(mascot.m_dirY, 340.0 / length);
    EXPECT_EQ(mascot.m_step, 50.0);
    EXPECT_EQ(mascot.m_speedLevel, 5);
    EXPECT_EQ(mascot.m_cruiseSpeed, 77.0);
    mascot.m_corner = 1;
    mascot.m_posX = 20.0;
    mascot.m_posY = 20.0;
    mascot.RetreatToCorner(mascot, store);
    EXPECT_EQ(mascot.m_dirX, 0.0);  // at the corner: no direction
    EXPECT_EQ(mascot.m_dirY, 0.0);
}

TEST_F(RoamingTest, BounceRisesTwiceThenFallsOnTheMirrorImage) {
    const double xs[] = {50, 500, 500, 950, 500, 500, 500};
    double rise = 0.0;
    for (int frame = 0; frame < 7; ++frame) {
        PlaceNewest(xs[frame], 300.0);
        mascot.Bounce(mascot, store);
        EXPECT_EQ(mascot.m_step, 80.0);
        int n = frame % 3 + 1;
        bool right = frame < 3;  // the left margin was seen last until frame 3
        if (n == 1) {
            rise = mascot.m_heading;
            EXPECT_GE(rise, right ? 0.0 : 90.0) << frame;
            EXPECT_LE(rise, right ? 89.0 : 179.0) << frame;
        }
        if (n == 2) {
            EXPECT_EQ(mascot.m_heading, rise) << frame;
        }
        if (n == 3) {
            EXPECT_EQ(mascot.m_heading, -rise) << frame;
        }
        EXPECT_EQ(mascot.m_bounceCount, n % 3);
    }
    EXPECT_EQ(mascot.m_side, 1);
}

TEST_F(ChasingTest, ChaseStepGrowsWithDistanceToACapOf150) {
    const struct {
        double distance, step;
    } samples[] = {{45, 37.05}, {100, 49.55}, {200, 76.94}, {300, 110.32}};
    for (const auto& s : samples) {
        ChaseAt(s.distance);
        EXPECT_NEAR(mascot.m_step, s.step, 0.005) << s.distance;
    }
    ChaseAt(45.0);
    EXPECT_EQ(mascot.m_speedLevel, 4);  // 37.05 / 7.5, truncated
    EXPECT_EQ(mascot.m_dirX, 0.8);
    EXPECT_EQ(mascot.m_dirY, -0.6);
    ChaseAt(44.999);
    EXPECT_EQ(mascot.m_step, 0.0);
    EXPECT_EQ(mascot.m_speedLevel, 0);
    ChaseAt(400.0);
    EXPECT_LT(mascot.m_step, 150.0);
    ChaseAt(401.0);
    EXPECT_EQ(mascot.m_step, 150.0);
    EXPECT_EQ(mascot.m_speedLevel, 20);
    EXPECT_EQ(mascot.m_cruiseSpeed, 150.0);
}

TEST_F(ChasingTest, FollowWalksAtFortyThenFifteenAndHalts) {
    const struct {
        double distance, step;
    } cases[] = {{40.001, 40}, {40, 15}, {10.001, 15}, {10, 0}};
    for (const auto& c : cases) {
        mascot.m_orbitRadius = 70;
        mascot.m_targetDist = c.distance;
        mascot.Follow(mascot, store);
        EXPECT_EQ(mascot.m_step, c.step) << c.distance;
        EXPECT_EQ(mascot.m_cruiseSpeed, c.step);
        EXPECT_EQ(mascot.m_speedLevel, 5);
        EXPECT_EQ(mascot.m_orbitRadius, 0);
    }
}

TEST_F(ChasingTest, LungeBrakesAtExactly150AndCoasts) {
    mascot.m_targetDist = 150.0;
    mascot.m_toTargetX = 1.0;
    mascot.m_dirX = 0.6;
    mascot.m_dirY = 0.8;
    mascot.m_phase = 0;
    mascot.m_mood = 2;
    mascot.m_speedLevel = 20;
    mascot.m_cruiseSpeed = 150.0;
    mascot.Lunge(mascot, store);
    EXPECT_EQ(mascot.m_phase, 1);
    EXPECT_EQ(mascot.m_mood, 666);       // a lasting temper is marked for a fresh draw
    EXPECT_GE(mascot.m_speedLevel, 10);  // capped at 15, then 3..5 less
    EXPECT_LE(mascot.m_speedLevel, 12);
    EXPECT_EQ(mascot.m_dirX, 0.6);
    EXPECT_EQ(mascot.m_dirY, 0.8);
}

TEST_F(ChasingTest, LungeWithAMiddlingTemperCanReachLevel25) {
    bool reached = false;
    for (unsigned seed = 1; seed <= 200 && !reached; ++seed) {
        RestartCore();
        auto d = Draws(seed, {2, 6});  // the resume draw, then 5..10 levels
        mascot.m_targetDist = 500.0;
        mascot.m_toTargetX = 1.0;
        mascot.m_phase = 0;
        mascot.m_mood = 2;  // within 0..3: kept, not drawn again
        mascot.m_speedLevel = 15;
        mascot.Lunge(mascot, store);
        EXPECT_EQ(mascot.m_mood, 2);
        EXPECT_EQ(mascot.m_speedLevel, 20 + d[1]);
        EXPECT_EQ(mascot.m_dirX, 1.0);
        if (mascot.m_speedLevel == 25) {
            reached = true;
            // Still moving, it takes the fresh cruise speed only on a resume draw of 0.
            EXPECT_EQ(mascot.m_step, 25 * (d[0] == 0 ? 150.0 : 100.0) * 0.05);
        }
    }
    EXPECT_TRUE(reached);
}

TEST_F(ChasingTest, LungeEnteredAtRestLungesAtOnce) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        RestartCore();
        std::srand(seed);
        mascot.m_targetDist = 500.0;
        mascot.m_toTargetX = -1.0;
        mascot.m_phase = 1;
        mascot.m_mood = 666;
        mascot.m_speedLevel = 0;
        mascot.Lunge(mascot, store);
        EXPECT_EQ(mascot.m_idleFrames, 1);
        EXPECT_EQ(mascot.m_phase, 0);
        EXPECT_EQ(mascot.m_cruiseSpeed, 150.0);
        EXPECT_GE(mascot.m_mood, 0);
        EXPECT_LE(mascot.m_mood, 20);
        EXPECT_EQ(mascot.m_dirX, -1.0);
    }
}

TEST_F(ChasingTest, FleeAcceleratesWithin250AndHoldsLevelTwenty) {
    for (unsigned seed = 1; seed <= 8; ++seed) {  // adds of 1 and of 2 both occur
        RestartCore();
        std::srand(seed);
        PlaceNewest(500.0, 350.0);
        mascot.m_targetDist = 250.0;
        mascot.m_toTargetX = 1.0;
        mascot.m_toTargetY = 0.0;
        mascot.m_speedLevel = 19;
        mascot.m_step = 42.0;
        mascot.Flee(mascot, store);
        EXPECT_EQ(mascot.m_speedLevel, 20);
        EXPECT_EQ(mascot.m_step, 42.0);      // the previous key frame's step
        EXPECT_EQ(mascot.m_heading, 180.0);  // away from a target to the right
        EXPECT_NEAR(mascot.m_dirX, -1.0, 1e-12);
    }
    mascot.m_targetDist = 250.001;
    mascot.Flee(mascot, store);
    EXPECT_EQ(mascot.m_speedLevel, 19);
    EXPECT_EQ(mascot.m_step, 19 * mascot.m_cruiseSpeed * 0.05);
}

TEST_F(ChasingTest, FleeTurnsOffTheWallsAfterPointingAway) {
    auto d = Draws(5, {76, 2, 21});
    PlaceNewest(820.0, 350.0);  // right edge
    mascot.m_targetDist = 100.0;
    mascot.m_toTargetX = -1.0;  // target to the left: away is heading 0
    mascot.m_toTargetY = 0.0;
    mascot.Flee(mascot, store);
    EXPECT_EQ(mascot.m_heading, 0.0 + d[2]);
    EXPECT_EQ(mascot.m_wallZone, 12);
}

TEST_F(ChasingTest, CatchTakesTheHeadingOfItsCurrentDirection) {
    const struct {
        double p, q, heading;
    } cases[] = {{1, 0, 0}, {0, -1, 90}, {-1, 0, 180}, {0, 1, 270}, {0, 0, 90}};
    for (const auto& c : cases) {
        PrepareCatch(c.p, c.q);
        mascot.Catch(mascot, store);
        EXPECT_EQ(mascot.m_heading, c.heading) << c.p << "," << c.q;
    }
    PrepareCatch(0.6, -0.8);  // up-right
    mascot.Catch(mascot, store);
    EXPECT_NEAR(mascot.m_heading, std::atan2(0.8, 0.6) * 180.0 / kPi, 1e-5);
}

TEST_F(ChasingTest, CatchCountsAStepAsLongAsTheDistanceAsCaught) {
    PrepareCatch(1.0, 0.0);
    mascot.m_targetDist = 10.001;  // the last step, 490 -> 500, was 10: not yet
    mascot.Catch(mascot, store);
    EXPECT_EQ(mascot.m_phase, 0);
    PrepareCatch(1.0, 0.0);
    mascot.m_targetDist = 10.0;
    mascot.m_pursuit = 1;
    mascot.Catch(mascot, store);
    // Caught: the cruise control takes over in its loose form and, with the step (90) more than
    // 40 below the cruise speed (150), keeps the level and the caught state.
    EXPECT_EQ(mascot.m_phase, 2);
    EXPECT_EQ(mascot.m_pursuit, 0);
    EXPECT_EQ(mascot.m_speedLevel, 12);
    EXPECT_EQ(mascot.m_step, 90.0);
}

TEST_F(ChasingTest, CatchWithin150HoldsThePreviousCourse) {
    PrepareCatch(1.0, 0.0);
    mascot.m_targetDist = 120.0;
    mascot.m_toTargetX = -1.0;
    mascot.m_prevDirX = 0.6;
    mascot.m_prevDirY = 0.8;
    mascot.Catch(mascot, store);
    EXPECT_EQ(mascot.m_phase, 0);
    EXPECT_EQ(mascot.m_dirX, 0.6);
    EXPECT_EQ(mascot.m_dirY, 0.8);
    PrepareCatch(1.0, 0.0);
    mascot.m_toTargetX = -1.0;
    mascot.m_toTargetY = 0.0;
    mascot.Catch(mascot, store);  // beyond 150 it aims at the target
    EXPECT_EQ(mascot.m_dirX, -1.0);
    EXPECT_EQ(mascot.m_step, 12 * 150.0 * 0.05);
}

TEST_F(OrbitingTest, LoopRedrawsARadiusBelowFifty) {
    PlaceNewest(500.0, 350.0);
    mascot.m_orbitAngle = 100.0;
    mascot.m_orbitRadius = 49;
    mascot.Loop(mascot, store);
    EXPECT_GE(mascot.m_orbitRadius, 50);
    EXPECT_LE(mascot.m_orbitRadius, 75);
    EXPECT_LE(mascot.m_step, 30.0);
    mascot.m_orbitRadius = 50;
    mascot.m_orbitAngle = 100.0;
    mascot.Loop(mascot, store);
    EXPECT_EQ(mascot.m_orbitRadius, 50);
    EXPECT_GE(mascot.m_orbitAngle, 130.0);
    EXPECT_LE(mascot.m_orbitAngle, 159.0);
}

TEST_F(OrbitingTest, TumbleCountsTurnsAndRedrawsItsRadiusEverySecondTurn) {
    PlaceNewest(500.0, 350.0);
    mascot.m_orbitAngle = 0.0;
    mascot.Tumble(mascot, store);
    EXPECT_EQ(mascot.m_orbitRadius, 40);  // from angle 0
    EXPECT_EQ(mascot.m_speedLevel, 10);
    mascot.m_orbitAngle = 310.0;  // any advance of 50..99 reaches 360
    mascot.m_laps = 0;
    mascot.Tumble(mascot, store);
    EXPECT_EQ(mascot.m_laps, 1);
    EXPECT_EQ(mascot.m_orbitRadius, 40);
    mascot.m_orbitAngle = 310.0;
    mascot.Tumble(mascot, store);
    EXPECT_EQ(mascot.m_laps, 0);
    EXPECT_GE(mascot.m_orbitRadius, 40);
    EXPECT_LE(mascot.m_orbitRadius, 99);
}

TEST_F(OrbitingTest, CircleFromAStraightBehaviourUsesAThirdOfANewRadius) {
    PlaceNewest(500.0, 350.0);
    mascot.m_orbiting = 0;
    mascot.m_orbitRadius = 0;
    mascot.m_orbitAngle = 45.0;  // not at a turn start: no drift
    mascot.m_keyX = 500.0;
    mascot.m_keyY = 350.0;
    mascot.m_prevKeyX = 500.0;
    mascot.m_prevKeyY = 350.0;
    mascot.m_targetX = 560.0;  // centre distance exactly 60
    mascot.m_targetY = 350.0;
    mascot.m_targetDist = 60.0;
    mascot.m_toTargetX = 1.0;
    mascot.m_toTargetY = 0.0;
    mascot.Circle(mascot, store);
    EXPECT_GE(mascot.m_orbitRadius, 33);
    EXPECT_LE(mascot.m_orbitRadius, 40);
    EXPECT_EQ(mascot.m_step, 60.0);
    EXPECT_EQ(mascot.m_keyX, 560.0);
    EXPECT_EQ(mascot.m_orbitAngle, 75.0);
}

TEST_F(OrbitingTest, CircleReusesItsStepBetweenFortyAndSixty) {
    mascot.m_orbiting = 1;
    mascot.m_orbitRadius = 110;
    mascot.m_orbitAngle = 45.0;
    mascot.m_keyX = mascot.m_prevKeyX = 500.0;
    mascot.m_keyY = mascot.m_prevKeyY = 350.0;
    mascot.m_targetX = 550.0;
    mascot.m_targetY = 350.0;
    mascot.m_targetDist = 50.0;
    mascot.m_toTargetX = 1.0;
    mascot.m_step = 17.0;
    mascot.Circle(mascot, store);
    EXPECT_EQ(mascot.m_step, 17.0);
    EXPECT_EQ(mascot.m_orbitRadius, 110);
    mascot.m_keyX = mascot.m_prevKeyX = 500.0;
    mascot.m_targetX = 530.0;
    mascot.m_targetDist = 30.0;
    mascot.Circle(mascot, store);
    EXPECT_EQ(mascot.m_step, 0.0);
}

TEST_F(OrbitingTest, TrembleStepsLikeChaseNearTheTarget) {
    const struct { double distance, step; } samples[] = {{20, 31.96}, {40, 36.0}, {60, 40.28}};
    for (const auto& s : samples) {
        mascot.m_keyX = mascot.m_prevKeyX = 500.0;
        mascot.m_keyY = mascot.m_prevKeyY = 350.0;
        mascot.m_targetX = 500.0 + s.distance - 0.5;  // centre distance below 60
        mascot.m_targetY = 350.0;
        mascot.m_targetDist = s.distance;
        mascot.Tremble(mascot, store);
        EXPECT_NEAR(mascot.m_step, s.step, 0.005) << s.distance;
        EXPECT_GE(mascot.m_orbitRadius, -10);
        EXPECT_LE(mascot.m_orbitRadius, 10);
        EXPECT_EQ(mascot.m_cruiseSpeed, mascot.m_step);
    }
    mascot.m_keyX = mascot.m_prevKeyX = 500.0;
    mascot.m_targetDist = 19.999;
    mascot.m_toTargetX = 1.0;
    mascot.Tremble(mascot, store);
    EXPECT_EQ(mascot.m_keyX, 500.0);  // the centre stays put
}

}  // namespace
