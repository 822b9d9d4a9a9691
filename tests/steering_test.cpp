// Steering helpers: aiming, headings from directions, the wall zones and the cruise control.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "core_fixture.h"
#include "engine/numeric.h"

namespace {

class SteeringTest : public CoreTest {
protected:
    double HeadingAwayFrom(double u, double v) {
        mascot.m_toTargetX = u;
        mascot.m_toTargetY = v;
        mascot.HeadingFromDirection(mascot);
        return mascot.m_heading;
    }

    double Fixed(double p, double q, double h) {
        mascot.m_dirX = p;
        mascot.m_dirY = q;
        mascot.m_heading = h;
        mascot.FixHeading(mascot);
        return mascot.m_heading;
    }
};

// The exact pi, against which the program's single-precision factors are compared.
constexpr double kPi = 3.14159265358979323846;

TEST_F(SteeringTest, AimAtTargetOnTheReferencePointGivesZeros) {
    store.m_keyIndex = 0;  // newest key point (300, 100) after the reset
    mascot.m_targetX = 300.0;
    mascot.m_targetY = 100.0;
    mascot.AimAtTarget(mascot, store);
    EXPECT_EQ(mascot.m_targetDist, 0.0);
    EXPECT_EQ(mascot.m_targetDx, 0.0);
    EXPECT_EQ(mascot.m_targetDy, 0.0);
    EXPECT_EQ(mascot.m_toTargetX, 0.0);
    EXPECT_EQ(mascot.m_toTargetY, 0.0);
}

TEST_F(SteeringTest, AimAtTargetMeasuresFromTheNewestKeyPointOrTheOrbitCentre) {
    store.m_keyIndex = 2;
    store.m_keyX[2] = 100.0;
    store.m_keyY[2] = 100.0;
    mascot.m_keyX = 400.0;  // orbit centre
    mascot.m_keyY = 500.0;
    mascot.m_targetX = 130.0;
    mascot.m_targetY = 140.0;
    mascot.AimAtTarget(mascot, store);
    EXPECT_EQ(mascot.m_targetDist, 50.0);
    EXPECT_EQ(mascot.m_toTargetX, 0.6);
    EXPECT_EQ(mascot.m_toTargetY, 0.8);
    mascot.m_orbiting = 1;
    mascot.AimAtTarget(mascot, store);
    EXPECT_EQ(mascot.m_targetDx, -270.0);
    EXPECT_EQ(mascot.m_targetDy, -360.0);
    EXPECT_EQ(mascot.m_targetDist, 450.0);
}

TEST_F(SteeringTest, HeadingFromDirectionPointsAwayFromTheTarget) {
    EXPECT_EQ(HeadingAwayFrom(1.0, 0.0), 180.0);   // target to the right
    EXPECT_EQ(HeadingAwayFrom(0.0, -1.0), 270.0);  // above
    EXPECT_EQ(HeadingAwayFrom(-1.0, 0.0), 0.0);    // to the left
    EXPECT_EQ(HeadingAwayFrom(0.0, 1.0), 90.0);    // below
    EXPECT_EQ(HeadingAwayFrom(0.0, 0.0), 90.0);    // no direction at all
    // Diagonals: the heading of (-u, v) in screen terms, within the rounding of the factor.
    const double a = std::atan2(0.8, 0.6) * 180.0 / kPi;        // 53.13 degrees
    EXPECT_NEAR(HeadingAwayFrom(0.6, -0.8), 180.0 + a, 1e-5);   // up-right
    EXPECT_NEAR(HeadingAwayFrom(0.6, 0.8), 180.0 - a, 1e-5);    // down-right
    EXPECT_NEAR(HeadingAwayFrom(-0.6, -0.8), 360.0 - a, 1e-5);  // up-left
    EXPECT_NEAR(HeadingAwayFrom(-0.6, 0.8), a, 1e-5);           // down-left
}

TEST_F(SteeringTest, FixHeadingCompletesTheArctangent) {
    EXPECT_EQ(Fixed(0.0, 0.0, 12.0), 90.0);  // zero direction
    EXPECT_EQ(Fixed(0.0, 1.0, 12.0), 270.0);
    EXPECT_EQ(Fixed(0.0, -1.0, 12.0), 90.0);
    EXPECT_EQ(Fixed(-1.0, 0.5, -30.0), 150.0);  // negative and moving down: +180
    EXPECT_EQ(Fixed(1.0, 0.0, 180.0), 0.0);     // +180 then 360 wraps to 0
    EXPECT_EQ(Fixed(-1.0, 0.0, 0.0), 0.0);
    EXPECT_EQ(Fixed(1.0, -0.5, 0.0), 0.0);       // 0 is not above 0: no +180
    EXPECT_EQ(Fixed(1.0, 0.5, 370.0), 190.0);    // +180 = 550, one subtraction only
    EXPECT_EQ(Fixed(-1.0, 0.5, -400.0), 140.0);  // +180 = -220, +360
}

struct WallCase {
    double x, y, heading;
    int zone;
    int turn;  // +1 or -1: turned by a draw of the zone's size; 0: left alone
};

class AvoidWallsTest : public CoreTest, public ::testing::WithParamInterface<WallCase> {};

TEST_P(AvoidWallsTest, ZoneAndTurn) {
    const WallCase c = GetParam();
    const bool corner = c.zone > 100;
    const unsigned seed = 99;
    const int draw = Draws(seed, {corner ? 61 : 21})[0] + (corner ? 30 : 0);
    PlaceNewest(c.x, c.y);
    mascot.m_heading = c.heading;
    mascot.AvoidWalls(mascot, store);
    int next = std::rand();
    EXPECT_EQ(mascot.m_wallZone, c.zone);
    EXPECT_EQ(mascot.m_heading, c.heading + c.turn * draw);
    EXPECT_EQ(next, RawDrawAfter(seed, c.turn == 0 ? 0 : 1)) << "draws only when turning";
}

INSTANTIATE_TEST_SUITE_P(
    Zones, AvoidWallsTest,
    ::testing::Values(
        // Top-left corner.
        WallCase{100, 100, 0, 101, -1}, WallCase{100, 100, 300, 101, 0},
        WallCase{100, 100, 135, 101, +1}, WallCase{100, 100, 275, 101, +1},
        WallCase{100, 100, 275.5, 101, 0}, WallCase{100, 100, -20, 101, -1},
        // Bottom-left corner.
        WallCase{150, 600, 226, 102, +1}, WallCase{150, 600, 225, 102, -1},
        WallCase{150, 600, 90, 102, -1}, WallCase{150, 600, 89, 102, 0},
        // Top-right corner.
        WallCase{900, 150, 46, 103, +1}, WallCase{900, 150, 45, 103, 0},
        WallCase{900, 150, 44, 103, -1}, WallCase{900, 150, 180, 103, 0},
        WallCase{900, 150, 271, 103, -1},
        // Bottom-right corner.
        WallCase{900, 600, 200, 104, -1}, WallCase{900, 600, 315, 104, 0},
        WallCase{900, 600, 316, 104, +1}, WallCase{900, 600, 89, 104, +1},
        WallCase{900, 600, 90, 104, 0},
        // Edges, with equality: x 200 beside the top-left corner is the left edge.
        WallCase{200, 100, 0, 11, 0}, WallCase{200, 100, 180, 11, +1},
        WallCase{200, 350, 330, 11, 0}, WallCase{200, 350, 30, 11, -1},
        WallCase{820, 350, 359, 12, -1}, WallCase{820, 350, 360, 12, 0},
        WallCase{820, 350, 0, 12, +1}, WallCase{820, 350, -10, 12, 0},
        WallCase{500, 200, 90, 13, +1}, WallCase{500, 200, 300, 13, 0},
        WallCase{500, 200, 300.5, 13, -1}, WallCase{500, 200, 0, 13, -1},
        WallCase{500, 500, 270, 14, -1}, WallCase{500, 500, 120, 14, 0},
        WallCase{500, 500, 60, 14, 0}, WallCase{500, 500, 59, 14, +1},
        // Inside.
        WallCase{500, 350, 45, 0, 0}, WallCase{201, 499, 200, 0, 0}));

TEST_F(SteeringTest, CruiseControlFromRestStartsAccelerating) {
    for (unsigned seed = 1; seed <= 50; ++seed) {
        RestartCore();
        std::srand(seed);
        PlaceNewest(500.0, 350.0);
        mascot.m_targetX = 900.0;
        mascot.m_targetY = 350.0;
        mascot.m_targetDist = 400.0;
        mascot.m_pursuit = 0;
        mascot.m_phase = 1;
        mascot.CruiseControl(mascot, store);
        EXPECT_EQ(mascot.m_phase, 0);
        EXPECT_GE(mascot.m_cruiseSpeed, 50.0);
        EXPECT_LE(mascot.m_cruiseSpeed, 130.0);
        EXPECT_GE(mascot.m_speedLevel, 2);
        EXPECT_LE(mascot.m_speedLevel, 4);
        EXPECT_GE(mascot.m_step, 20.0);
        EXPECT_EQ(mascot.m_targetQuadrant, 3);
        EXPECT_GE(mascot.m_heading, 0.0);
        EXPECT_LT(mascot.m_heading, 360.0);
        EXPECT_NEAR(mascot.m_dirX, std::cos(mascot.m_heading * kPi / 180.0), 1e-6);
    }
}

TEST_F(SteeringTest, CruiseControlBrakesToAFloorOfOneOrTwo) {
    for (unsigned seed = 1; seed <= 50; ++seed) {
        RestartCore();
        std::srand(seed);
        PlaceNewest(100.0, 350.0);  // outside the inner box: no drift
        mascot.m_targetDist = 400.0;
        mascot.m_pursuit = 0;
        mascot.m_phase = 1;
        mascot.m_speedLevel = 8;
        mascot.m_step = 10.0;
        mascot.CruiseControl(mascot, store);
        ASSERT_TRUE(mascot.m_speedLevel == 1 || mascot.m_speedLevel == 2);
        if (mascot.m_speedLevel == 1) {
            EXPECT_EQ(mascot.m_minLevelPick, 0);
        }
        EXPECT_EQ(mascot.m_step, 20.0);  // the loose form's minimum
    }
}

TEST_F(SteeringTest, CruiseControlCapsTheLevelAtTwenty) {
    PlaceNewest(100.0, 350.0);
    mascot.m_targetDist = 400.0;
    mascot.m_speedLevel = 25;  // as Lunge can leave it
    mascot.m_cruiseSpeed = 100.0;
    mascot.m_step = 0.0;
    mascot.m_phase = 0;
    mascot.CruiseControl(mascot, store);
    EXPECT_EQ(mascot.m_speedLevel, 20);
    EXPECT_EQ(mascot.m_step, mascot.m_cruiseSpeed);  // at level 20 the step is the cruise speed
}

TEST_F(SteeringTest, CaughtPhaseHoldsTheLevelUntilTheStepNearsTheCruiseSpeed) {
    PlaceNewest(100.0, 350.0);
    mascot.m_targetDist = 400.0;
    mascot.m_phase = 2;
    mascot.m_speedLevel = 5;
    mascot.m_cruiseSpeed = 100.0;
    mascot.m_step = 10.0;
    mascot.CruiseControl(mascot, store);
    EXPECT_EQ(mascot.m_phase, 2);
    EXPECT_EQ(mascot.m_speedLevel, 5);
    EXPECT_EQ(mascot.m_step, 25.0);
    mascot.m_step = 60.0;  // within 40 of the cruise speed: braking starts
    mascot.CruiseControl(mascot, store);
    EXPECT_EQ(mascot.m_phase, 1);
    EXPECT_LT(mascot.m_speedLevel, 5);
}

TEST_F(SteeringTest, PursuitNearTheTargetAcceleratesByFiveAndNeverBrakes) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        RestartCore();
        std::srand(seed);
        PlaceNewest(100.0, 350.0);
        mascot.m_targetDist = 149.0;
        mascot.m_pursuit = 1;
        mascot.m_phase = 0;
        mascot.m_speedLevel = 5;
        mascot.m_cruiseSpeed = 100.0;
        mascot.m_step = 90.0;  // would start braking without the pursuit
        mascot.CruiseControl(mascot, store);
        EXPECT_EQ(mascot.m_phase, 0);
        EXPECT_EQ(mascot.m_speedLevel, 10);
        EXPECT_GE(mascot.m_cruiseSpeed, 75.0);
        EXPECT_LE(mascot.m_cruiseSpeed, 150.0);
        EXPECT_EQ(mascot.m_step, 10 * mascot.m_cruiseSpeed * 0.05);
    }
}

TEST_F(SteeringTest, ShyTurnPointsStraightAwayFromANearTarget) {
    PlaceNewest(500.0, 350.0);
    mascot.m_targetX = 560.0;
    mascot.m_targetY = 350.0;
    mascot.m_targetDist = 60.0;
    mascot.m_toTargetX = 1.0;
    mascot.m_toTargetY = 0.0;
    mascot.m_pursuit = 1;
    mascot.CruiseControl(mascot, store);
    EXPECT_EQ(mascot.m_heading, 180.0);
    EXPECT_NEAR(mascot.m_dirX, -1.0, 1e-12);
    EXPECT_EQ(mascot.m_targetQuadrant, 3);
}

TEST_F(SteeringTest, QuadrantsIncludeTheirStatedBorders) {
    const struct {
        double tx, ty;
        int quadrant;
    } cases[] = {{500, 300, 1}, {450, 350, 1}, {500, 350, 1}, {500, 400, 2},
                 {450, 400, 2}, {550, 350, 3}, {550, 400, 3}, {550, 300, 4}};
    for (const auto& c : cases) {
        PlaceNewest(500.0, 350.0);
        mascot.m_targetX = c.tx;
        mascot.m_targetY = c.ty;
        mascot.m_targetDist = 400.0;
        mascot.CruiseControl(mascot, store);
        EXPECT_EQ(mascot.m_targetQuadrant, c.quadrant) << c.tx << "," << c.ty;
    }
}

}  // namespace

namespace {

// Repeated subtraction and addition of 360, the way the heading is wrapped.
double WrapByRepetition(double heading) {
    while (heading >= 360.0) heading = heading - 360.0;
    while (heading < 0.0) heading = heading + 360.0;
    return heading;
}

TEST(WrapHeading, MatchesRepeatedSubtractionBitForBit) {
    const double headings[] = {
        0.0,   359.99999999999994,  360.0, 720.0, 1000.3, -105.0, -0.0, -360.0, 12345.678, 1e-300,
        -1e-9, 8191.0 * 360.0 + 0.1};
    for (double heading : headings) {
        double wrapped = WrapHeading(heading);
        double expected = WrapByRepetition(heading);
        EXPECT_EQ(std::signbit(wrapped), std::signbit(expected)) << heading;
        EXPECT_EQ(wrapped, expected) << heading;
    }
}

TEST(WrapHeading, AHeadingThatGrewForMonthsWrapsExactly) {
    // Wander adds up to 360 per burst and never wraps, so after months the heading is in the
    // billions; the remainder taken in one step must equal ten million single subtractions.
    const double grown = 360.0 * 1e7 + 12.3;
    EXPECT_EQ(WrapHeading(grown), WrapByRepetition(grown));
    EXPECT_EQ(WrapHeading(360.0 * 1e7 + 12.25), 12.25);
    EXPECT_TRUE(std::isinf(WrapHeading(INFINITY)));
    EXPECT_TRUE(std::isnan(WrapHeading(NAN)));
}

}  // namespace
