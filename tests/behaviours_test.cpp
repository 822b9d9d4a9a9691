// The sixteen behaviours one key frame at a time, called as the step driver calls them: with the
// store's key index already advanced, so the newest key point is at index 3.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "core_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

using RoamingTest = CoreTest;
using ChasingTest = CoreTest;
using OrbitingTest = CoreTest;

void RunBrake() { g_mascot.Brake(g_mascot, g_trajectory); }

TEST_F(RoamingTest, BrakeLosesFourLevelsPerKeyFrameFromACapOfTen) {
    g_mascot.m_speedLevel = 15;
    g_mascot.m_cruiseSpeed = 80.0;
    g_mascot.m_dirX = 0.6;
    RunBrake();
    EXPECT_EQ(g_mascot.m_speedLevel, 6);
    EXPECT_EQ(g_mascot.m_step, 24.0);
    RunBrake();
    EXPECT_EQ(g_mascot.m_speedLevel, 2);
    RunBrake();
    EXPECT_EQ(g_mascot.m_speedLevel, 0);
    EXPECT_EQ(g_mascot.m_step, 0.0);
    EXPECT_EQ(g_mascot.m_dirX, 0.6);  // the course is kept
    EXPECT_EQ(g_mascot.m_cruiseSpeed, 80.0);
}

TEST_F(RoamingTest, BrakeBelowScaleOneKeepsTheSpeed) {
    g_mascot.m_speedScale = 0.5;
    g_mascot.m_speedLevel = 15;
    RunBrake();
    RunBrake();
    EXPECT_EQ(g_mascot.m_speedLevel, 10);
    g_mascot.m_speedLevel = 7;
    RunBrake();
    EXPECT_EQ(g_mascot.m_speedLevel, 7);
    g_mascot.m_speedScale = 1.75;  // truncated to 1: still 4 levels
    RunBrake();
    EXPECT_EQ(g_mascot.m_speedLevel, 3);
}

TEST_F(RoamingTest, JitterStepsAlongPlusSineOfTheDrawnAngle) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        auto d = Draws(seed, {21, 361});
        g_mascot.m_heading = 33.0;
        g_mascot.Jitter(g_mascot, g_trajectory);
        const double angle = d[1] * kPi / 180.0;
        EXPECT_EQ(g_mascot.m_step, d[0] + 5.0);
        EXPECT_EQ(g_mascot.m_cruiseSpeed, d[0] + 5.0);
        EXPECT_EQ(g_mascot.m_speedLevel, 5);
        EXPECT_NEAR(g_mascot.m_dirX, std::cos(angle), 1e-6);
        EXPECT_NEAR(g_mascot.m_dirY, std::sin(angle), 1e-6);
        EXPECT_EQ(g_mascot.m_heading, 33.0);
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
        {50, 50, 265, +1, 101},    {50, 650, 95, -1, 101},   {950, 50, 175, +1, 101},
        {950, 650, 85, +1, 101},   {100, 300, 105, -1, 211}, {920, 300, 75, +1, 211},
        {500, 100, 165, +1, 211},  {500, 600, 195, -1, 211}, {100, 100, 105, -1, 211},
        {920, 600, 75, +1, 211},   {500, 300, 40, +1, 361},  // elsewhere: turn from heading 40
    };
    for (const WanderRow& row : rows) {
        RestoreHost();
        const unsigned seed = 7;
        auto d = Draws(seed, {2, row.modulus, 71, 2, 10, 6});
        PlaceNewest(row.x, row.y);
        g_mascot.m_heading = 40.0;
        g_mascot.m_wanderStep = 0;
        g_mascot.Wander(g_mascot, g_trajectory);
        EXPECT_EQ(g_mascot.m_heading, row.base + row.sign * d[1]) << row.x << "," << row.y;
        EXPECT_EQ(g_mascot.m_cruiseSpeed, d[2] + 50.0);
        EXPECT_EQ(g_mascot.m_wanderBurst, d[4] + 2);
        EXPECT_EQ(g_mascot.m_wanderEnd, d[5] + d[4] + 2);
        EXPECT_EQ(g_mascot.m_wanderStep, 1);
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
    g_mascot.m_dirX = 0.6;
    g_mascot.m_dirY = 0.8;
    g_mascot.m_wanderStep = 5;
    g_mascot.m_wanderBurst = 5;
    g_mascot.m_wanderEnd = 5;
    g_mascot.Wander(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_dirX, 0.0);
    EXPECT_EQ(g_mascot.m_dirY, 0.0);
    EXPECT_EQ(g_mascot.m_wanderStep, 0);  // the next key frame starts a new burst
}

TEST_F(RoamingTest, WanderSlowsToACrawlOrToRest) {
    PlaceNewest(500.0, 300.0);
    g_mascot.m_wanderStep = 4;
    g_mascot.m_wanderBurst = 5;  // 4 is not below 5 - 2: slowing
    g_mascot.m_wanderEnd = 9;
    g_mascot.m_speedLevel = 7;
    g_mascot.m_cruiseSpeed = 100.0;
    g_mascot.Wander(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_speedLevel, 3);
    EXPECT_EQ(g_mascot.m_step, 15.0);
    g_mascot.m_speedLevel = 1;  // 2 after the first addition, then 1..3 less, floored at 0
    g_mascot.Wander(g_mascot, g_trajectory);
    EXPECT_GE(g_mascot.m_speedLevel, 0);
    EXPECT_LE(g_mascot.m_speedLevel, 1);
}

TEST_F(RoamingTest, WanderAtLevelTwentyKeepsThePreviousStep) {
    PlaceNewest(500.0, 300.0);
    g_mascot.m_wanderStep = 1;
    g_mascot.m_wanderBurst = 11;
    g_mascot.m_wanderEnd = 16;
    g_mascot.m_speedLevel = 19;
    g_mascot.m_step = 12.5;
    g_mascot.Wander(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_speedLevel, 20);
    EXPECT_EQ(g_mascot.m_step, 12.5);
}

TEST_F(RoamingTest, CornerRetreatHeadsForItsCorner) {
    g_mascot.m_corner = 3;
    g_mascot.m_posX = 500.0;
    g_mascot.m_posY = 340.0;
    g_mascot.m_cruiseSpeed = 77.0;
    g_mascot.RetreatToCorner(g_mascot, g_trajectory);
    const double length = std::sqrt(500.0 * 500.0 + 340.0 * 340.0);
    EXPECT_DOUBLE_EQ(g_mascot.m_dirX, 500.0 / length);
    EXPECT_DOUBLE_EQ(g_mascot.m_dirY, 340.0 / length);
    EXPECT_EQ(g_mascot.m_step, 50.0);
    EXPECT_EQ(g_mascot.m_speedLevel, 5);
    EXPECT_EQ(g_mascot.m_cruiseSpeed, 77.0);
    g_mascot.m_corner = 1;
    g_mascot.m_posX = 20.0;
    g_mascot.m_posY = 20.0;
    g_mascot.RetreatToCorner(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_dirX, 0.0);  // at the corner: no direction
    EXPECT_EQ(g_mascot.m_dirY, 0.0);
}

TEST_F(RoamingTest, BounceRisesTwiceThenFallsOnTheMirrorImage) {
    const double xs[] = {50, 500, 500, 950, 500, 500, 500};
    double rise = 0.0;
    for (int frame = 0; frame < 7; ++frame) {
        PlaceNewest(xs[frame], 300.0);
        g_mascot.Bounce(g_mascot, g_trajectory);
        EXPECT_EQ(g_mascot.m_step, 80.0);
        int n = frame % 3 + 1;
        bool right = frame < 3;  // the left margin was seen last until frame 3
        if (n == 1) {
            rise = g_mascot.m_heading;
            EXPECT_GE(rise, right ? 0.0 : 90.0) << frame;
            EXPECT_LE(rise, right ? 89.0 : 179.0) << frame;
        }
        if (n == 2) {
            EXPECT_EQ(g_mascot.m_heading, rise) << frame;
        }
        if (n == 3) {
            EXPECT_EQ(g_mascot.m_heading, -rise) << frame;
        }
        EXPECT_EQ(g_mascot.m_bounceCount, n % 3);
    }
    EXPECT_EQ(g_mascot.m_side, 1);
}

void ChaseAt(double distance) {
    g_mascot.m_targetDist = distance;
    g_mascot.m_toTargetX = 0.8;
    g_mascot.m_toTargetY = -0.6;
    g_mascot.Chase(g_mascot, g_trajectory);
}

TEST_F(ChasingTest, ChaseStepGrowsWithDistanceToACapOf150) {
    const struct {
        double distance, step;
    } samples[] = {{45, 37.05}, {100, 49.55}, {200, 76.94}, {300, 110.32}};
    for (const auto& s : samples) {
        ChaseAt(s.distance);
        EXPECT_NEAR(g_mascot.m_step, s.step, 0.005) << s.distance;
    }
    ChaseAt(45.0);
    EXPECT_EQ(g_mascot.m_speedLevel, 4);  // 37.05 / 7.5, truncated
    EXPECT_EQ(g_mascot.m_dirX, 0.8);
    EXPECT_EQ(g_mascot.m_dirY, -0.6);
    ChaseAt(44.999);
    EXPECT_EQ(g_mascot.m_step, 0.0);
    EXPECT_EQ(g_mascot.m_speedLevel, 0);
    ChaseAt(400.0);
    EXPECT_LT(g_mascot.m_step, 150.0);
    ChaseAt(401.0);
    EXPECT_EQ(g_mascot.m_step, 150.0);
    EXPECT_EQ(g_mascot.m_speedLevel, 20);
    EXPECT_EQ(g_mascot.m_cruiseSpeed, 150.0);
}

TEST_F(ChasingTest, FollowWalksAtFortyThenFifteenAndHalts) {
    const struct {
        double distance, step;
    } cases[] = {{40.001, 40}, {40, 15}, {10.001, 15}, {10, 0}};
    for (const auto& c : cases) {
        g_mascot.m_orbitRadius = 70;
        g_mascot.m_targetDist = c.distance;
        g_mascot.Follow(g_mascot, g_trajectory);
        EXPECT_EQ(g_mascot.m_step, c.step) << c.distance;
        EXPECT_EQ(g_mascot.m_cruiseSpeed, c.step);
        EXPECT_EQ(g_mascot.m_speedLevel, 5);
        EXPECT_EQ(g_mascot.m_orbitRadius, 0);
    }
}

TEST_F(ChasingTest, LungeBrakesAtExactly150AndCoasts) {
    g_mascot.m_targetDist = 150.0;
    g_mascot.m_toTargetX = 1.0;
    g_mascot.m_dirX = 0.6;
    g_mascot.m_dirY = 0.8;
    g_mascot.m_phase = 0;
    g_mascot.m_mood = 2;
    g_mascot.m_speedLevel = 20;
    g_mascot.m_cruiseSpeed = 150.0;
    g_mascot.Lunge(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_phase, 1);
    EXPECT_EQ(g_mascot.m_mood, 666);  // a lasting temper is marked for a fresh draw
    EXPECT_GE(g_mascot.m_speedLevel, 10);  // capped at 15, then 3..5 less
    EXPECT_LE(g_mascot.m_speedLevel, 12);
    EXPECT_EQ(g_mascot.m_dirX, 0.6);
    EXPECT_EQ(g_mascot.m_dirY, 0.8);
}

TEST_F(ChasingTest, LungeWithAMiddlingTemperCanReachLevel25) {
    bool reached = false;
    for (unsigned seed = 1; seed <= 200 && !reached; ++seed) {
        RestoreHost();
        auto d = Draws(seed, {2, 6});  // the resume draw, then 5..10 levels
        g_mascot.m_targetDist = 500.0;
        g_mascot.m_toTargetX = 1.0;
        g_mascot.m_phase = 0;
        g_mascot.m_mood = 2;  // within 0..3: kept, not drawn again
        g_mascot.m_speedLevel = 15;
        g_mascot.Lunge(g_mascot, g_trajectory);
        EXPECT_EQ(g_mascot.m_mood, 2);
        EXPECT_EQ(g_mascot.m_speedLevel, 20 + d[1]);
        EXPECT_EQ(g_mascot.m_dirX, 1.0);
        if (g_mascot.m_speedLevel == 25) {
            reached = true;
            // Still moving, it takes the fresh cruise speed only on a resume draw of 0.
            EXPECT_EQ(g_mascot.m_step, 25 * (d[0] == 0 ? 150.0 : 100.0) * 0.05);
        }
    }
    EXPECT_TRUE(reached);
}

TEST_F(ChasingTest, LungeEnteredAtRestLungesAtOnce) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        RestoreHost();
        std::srand(seed);
        g_mascot.m_targetDist = 500.0;
        g_mascot.m_toTargetX = -1.0;
        g_mascot.m_phase = 1;
        g_mascot.m_mood = 666;
        g_mascot.m_speedLevel = 0;
        g_mascot.Lunge(g_mascot, g_trajectory);
        EXPECT_EQ(g_mascot.m_idleFrames, 1);
        EXPECT_EQ(g_mascot.m_phase, 0);
        EXPECT_EQ(g_mascot.m_cruiseSpeed, 150.0);
        EXPECT_GE(g_mascot.m_mood, 0);
        EXPECT_LE(g_mascot.m_mood, 20);
        EXPECT_EQ(g_mascot.m_dirX, -1.0);
    }
}

TEST_F(ChasingTest, FleeAcceleratesWithin250AndHoldsLevelTwenty) {
    for (unsigned seed = 1; seed <= 8; ++seed) {  // adds of 1 and of 2 both occur
        RestoreHost();
        std::srand(seed);
        PlaceNewest(500.0, 350.0);
        g_mascot.m_targetDist = 250.0;
        g_mascot.m_toTargetX = 1.0;
        g_mascot.m_toTargetY = 0.0;
        g_mascot.m_speedLevel = 19;
        g_mascot.m_step = 42.0;
        g_mascot.Flee(g_mascot, g_trajectory);
        EXPECT_EQ(g_mascot.m_speedLevel, 20);
        EXPECT_EQ(g_mascot.m_step, 42.0);  // the previous key frame's step
        EXPECT_EQ(g_mascot.m_heading, 180.0);  // away from a target to the right
        EXPECT_NEAR(g_mascot.m_dirX, -1.0, 1e-12);
    }
    g_mascot.m_targetDist = 250.001;
    g_mascot.Flee(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_speedLevel, 19);
    EXPECT_EQ(g_mascot.m_step, 19 * g_mascot.m_cruiseSpeed * 0.05);
}

TEST_F(ChasingTest, FleeTurnsOffTheWallsAfterPointingAway) {
    auto d = Draws(5, {76, 2, 21});
    PlaceNewest(820.0, 350.0);  // right edge
    g_mascot.m_targetDist = 100.0;
    g_mascot.m_toTargetX = -1.0;  // target to the left: away is heading 0
    g_mascot.m_toTargetY = 0.0;
    g_mascot.Flee(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_heading, 0.0 + d[2]);
    EXPECT_EQ(g_mascot.m_wallZone, 12);
}

// Catch's setup: far from the target, dashing, level high enough that no level is drawn.
void PrepareCatch(double dirX, double dirY) {
    PlaceNewest(500.0, 350.0, 490.0, 350.0);
    g_mascot.m_dirX = dirX;
    g_mascot.m_dirY = dirY;
    g_mascot.m_targetDist = 400.0;
    g_mascot.m_phase = 0;
    g_mascot.m_speedLevel = 12;
}

TEST_F(ChasingTest, CatchTakesTheHeadingOfItsCurrentDirection) {
    const struct {
        double p, q, heading;
    } cases[] = {{1, 0, 0}, {0, -1, 90}, {-1, 0, 180}, {0, 1, 270}, {0, 0, 90}};
    for (const auto& c : cases) {
        PrepareCatch(c.p, c.q);
        g_mascot.Catch(g_mascot, g_trajectory);
        EXPECT_EQ(g_mascot.m_heading, c.heading) << c.p << "," << c.q;
    }
    PrepareCatch(0.6, -0.8);  // up-right
    g_mascot.Catch(g_mascot, g_trajectory);
    EXPECT_NEAR(g_mascot.m_heading, std::atan2(0.8, 0.6) * 180.0 / kPi, 1e-5);
}

TEST_F(ChasingTest, CatchCountsAStepAsLongAsTheDistanceAsCaught) {
    PrepareCatch(1.0, 0.0);
    g_mascot.m_targetDist = 10.001;  // the last step, 490 -> 500, was 10: not yet
    g_mascot.Catch(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_phase, 0);
    PrepareCatch(1.0, 0.0);
    g_mascot.m_targetDist = 10.0;
    g_mascot.m_pursuit = 1;
    g_mascot.Catch(g_mascot, g_trajectory);
    // Caught: the cruise control takes over in its loose form and, with the step (90) more than
    // 40 below the cruise speed (150), keeps the level and the caught state.
    EXPECT_EQ(g_mascot.m_phase, 2);
    EXPECT_EQ(g_mascot.m_pursuit, 0);
    EXPECT_EQ(g_mascot.m_speedLevel, 12);
    EXPECT_EQ(g_mascot.m_step, 90.0);
}

TEST_F(ChasingTest, CatchWithin150HoldsThePreviousCourse) {
    PrepareCatch(1.0, 0.0);
    g_mascot.m_targetDist = 120.0;
    g_mascot.m_toTargetX = -1.0;
    g_mascot.m_prevDirX = 0.6;
    g_mascot.m_prevDirY = 0.8;
    g_mascot.Catch(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_phase, 0);
    EXPECT_EQ(g_mascot.m_dirX, 0.6);
    EXPECT_EQ(g_mascot.m_dirY, 0.8);
    PrepareCatch(1.0, 0.0);
    g_mascot.m_toTargetX = -1.0;
    g_mascot.m_toTargetY = 0.0;
    g_mascot.Catch(g_mascot, g_trajectory);  // beyond 150 it aims at the target
    EXPECT_EQ(g_mascot.m_dirX, -1.0);
    EXPECT_EQ(g_mascot.m_step, 12 * 150.0 * 0.05);
}

TEST_F(OrbitingTest, LoopRedrawsARadiusBelowFifty) {
    PlaceNewest(500.0, 350.0);
    g_mascot.m_orbitAngle = 100.0;
    g_mascot.m_orbitRadius = 49;
    g_mascot.Loop(g_mascot, g_trajectory);
    EXPECT_GE(g_mascot.m_orbitRadius, 50);
    EXPECT_LE(g_mascot.m_orbitRadius, 75);
    EXPECT_LE(g_mascot.m_step, 30.0);
    g_mascot.m_orbitRadius = 50;
    g_mascot.m_orbitAngle = 100.0;
    g_mascot.Loop(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_orbitRadius, 50);
    EXPECT_GE(g_mascot.m_orbitAngle, 130.0);
    EXPECT_LE(g_mascot.m_orbitAngle, 159.0);
}

TEST_F(OrbitingTest, TumbleCountsTurnsAndRedrawsItsRadiusEverySecondTurn) {
    PlaceNewest(500.0, 350.0);
    g_mascot.m_orbitAngle = 0.0;
    g_mascot.Tumble(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_orbitRadius, 40);  // from angle 0
    EXPECT_EQ(g_mascot.m_speedLevel, 10);
    g_mascot.m_orbitAngle = 310.0;  // any advance of 50..99 reaches 360
    g_mascot.m_laps = 0;
    g_mascot.Tumble(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_laps, 1);
    EXPECT_EQ(g_mascot.m_orbitRadius, 40);
    g_mascot.m_orbitAngle = 310.0;
    g_mascot.Tumble(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_laps, 0);
    EXPECT_GE(g_mascot.m_orbitRadius, 40);
    EXPECT_LE(g_mascot.m_orbitRadius, 99);
}

TEST_F(OrbitingTest, CircleFromAStraightBehaviourUsesAThirdOfANewRadius) {
    PlaceNewest(500.0, 350.0);
    g_mascot.m_orbiting = 0;
    g_mascot.m_orbitRadius = 0;
    g_mascot.m_orbitAngle = 45.0;  // not at a turn start: no drift
    g_mascot.m_keyX = 500.0;
    g_mascot.m_keyY = 350.0;
    g_mascot.m_prevKeyX = 500.0;
    g_mascot.m_prevKeyY = 350.0;
    g_mascot.m_targetX = 560.0;  // centre distance exactly 60
    g_mascot.m_targetY = 350.0;
    g_mascot.m_targetDist = 60.0;
    g_mascot.m_toTargetX = 1.0;
    g_mascot.m_toTargetY = 0.0;
    g_mascot.Circle(g_mascot, g_trajectory);
    EXPECT_GE(g_mascot.m_orbitRadius, 33);
    EXPECT_LE(g_mascot.m_orbitRadius, 40);
    EXPECT_EQ(g_mascot.m_step, 60.0);
    EXPECT_EQ(g_mascot.m_keyX, 560.0);
    EXPECT_EQ(g_mascot.m_orbitAngle, 75.0);
}

TEST_F(OrbitingTest, CircleReusesItsStepBetweenFortyAndSixty) {
    g_mascot.m_orbiting = 1;
    g_mascot.m_orbitRadius = 110;
    g_mascot.m_orbitAngle = 45.0;
    g_mascot.m_keyX = g_mascot.m_prevKeyX = 500.0;
    g_mascot.m_keyY = g_mascot.m_prevKeyY = 350.0;
    g_mascot.m_targetX = 550.0;
    g_mascot.m_targetY = 350.0;
    g_mascot.m_targetDist = 50.0;
    g_mascot.m_toTargetX = 1.0;
    g_mascot.m_step = 17.0;
    g_mascot.Circle(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_step, 17.0);
    EXPECT_EQ(g_mascot.m_orbitRadius, 110);
    g_mascot.m_keyX = g_mascot.m_prevKeyX = 500.0;
    g_mascot.m_targetX = 530.0;
    g_mascot.m_targetDist = 30.0;
    g_mascot.Circle(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_step, 0.0);
}

TEST_F(OrbitingTest, TrembleStepsLikeChaseNearTheTarget) {
    const struct {
        double distance, step;
    } samples[] = {{20, 31.96}, {40, 36.0}, {60, 40.28}};
    for (const auto& s : samples) {
        g_mascot.m_keyX = g_mascot.m_prevKeyX = 500.0;
        g_mascot.m_keyY = g_mascot.m_prevKeyY = 350.0;
        g_mascot.m_targetX = 500.0 + s.distance - 0.5;  // centre distance below 60
        g_mascot.m_targetY = 350.0;
        g_mascot.m_targetDist = s.distance;
        g_mascot.Tremble(g_mascot, g_trajectory);
        EXPECT_NEAR(g_mascot.m_step, s.step, 0.005) << s.distance;
        EXPECT_GE(g_mascot.m_orbitRadius, -10);
        EXPECT_LE(g_mascot.m_orbitRadius, 10);
        EXPECT_EQ(g_mascot.m_cruiseSpeed, g_mascot.m_step);
    }
    g_mascot.m_keyX = g_mascot.m_prevKeyX = 500.0;
    g_mascot.m_targetDist = 19.999;
    g_mascot.m_toTargetX = 1.0;
    g_mascot.Tremble(g_mascot, g_trajectory);
    EXPECT_EQ(g_mascot.m_keyX, 500.0);  // the centre stays put
}

}  // namespace
