// Steering helpers shared by the step driver and the behaviours: aiming at the target, headings,
// turning away from the walls, and the cruise control.
#include <cmath>
#include <cstdlib>

#include "engine/direction.h"
#include "engine/geometry.h"
#include "engine/mascot.h"
#include "engine/numeric.h"
#include "trajectory/trajectory.h"

namespace {

// The inner box, bounds included, in which the cruise control drifts and shies.
bool InInnerBox(double x, double y) {
    return x >= kInnerLeft && x <= kInnerRight && y >= kInnerTop && y <= kInnerBottom;
}

// The heading pointing away from the target, before any wrap into [0, 360).
double HeadingAwayFrom(double u, double v) {
    double h;
    if (u == 0.0) {
        h = v < 0.0 ? 270.0 : 90.0;
    } else {
        h = std::atan(-(v / u)) * kRadiansToDegrees;
    }
    if ((h < 0.0 && v > 0.0) || (h >= 0.0 && u > 0.0)) h = h + 180.0;
    return h;
}

int QuadrantOf(double tx, double ty, double x, double y) {
    if (tx <= x) return ty <= y ? 1 : 2;
    return ty >= y ? 3 : 4;
}

int RandomCornerTurn() { return std::rand() % 61 + 30; }
int RandomEdgeTurn() { return std::rand() % 21; }

// Each returns the new heading for one zone of AvoidWalls; h is the heading on entry.
double TopLeftCorner(double h) {
    if (h < 135.0) return h - RandomCornerTurn();
    if (h <= 275.0) return h + RandomCornerTurn();
    return h;
}

double BottomLeftCorner(double h) {
    if (h > 225.0) return h + RandomCornerTurn();
    if (h >= 90.0) return h - RandomCornerTurn();
    return h;
}

double TopRightCorner(double h) {
    if (h > 45.0 && h < 180.0) return h + RandomCornerTurn();
    if (h < 45.0 || h > 270.0) return h - RandomCornerTurn();
    return h;
}

double BottomRightCorner(double h) {
    if (h > 180.0 && h < 315.0) return h - RandomCornerTurn();
    if (h > 315.0 || h < 90.0) return h + RandomCornerTurn();
    return h;
}

double LeftEdge(double h) {
    if (h >= 180.0 && h < 330.0) return h + RandomEdgeTurn();
    if (h >= 30.0 && h < 180.0) return h - RandomEdgeTurn();
    return h;
}

double RightEdge(double h) {
    if (h > 210.0 && h < 360.0) return h - RandomEdgeTurn();
    if (h >= 0.0 && h < 150.0) return h + RandomEdgeTurn();
    return h;
}

double TopEdge(double h) {
    if (h >= 90.0 && h < 240.0) return h + RandomEdgeTurn();
    if ((h >= 0.0 && h < 90.0) || h > 300.0) return h - RandomEdgeTurn();
    return h;
}

double BottomEdge(double h) {
    if (h > 120.0 && h <= 270.0) return h - RandomEdgeTurn();
    if (h > 270.0 || (h >= 0.0 && h < 60.0)) return h + RandomEdgeTurn();
    return h;
}

}  // namespace

void CMascot::AimAtTarget(CMascot& mascot, CTrajectory& store) {
    double refX = mascot.m_keyX;
    double refY = mascot.m_keyY;
    if (mascot.m_orbiting != 1) {
        refX = store.m_keyX[store.m_keyIndex];
        refY = store.m_keyY[store.m_keyIndex];
    }
    mascot.m_targetDx = mascot.m_targetX - refX;
    mascot.m_targetDy = mascot.m_targetY - refY;
    mascot.m_targetDist =
        std::sqrt(mascot.m_targetDx * mascot.m_targetDx + mascot.m_targetDy * mascot.m_targetDy);
    if (mascot.m_targetDist == 0.0) {
        mascot.m_toTargetX = 0.0;
        mascot.m_toTargetY = 0.0;
        return;
    }
    mascot.m_toTargetX = mascot.m_targetDx / mascot.m_targetDist;
    mascot.m_toTargetY = mascot.m_targetDy / mascot.m_targetDist;
}

void CMascot::HeadingFromDirection(CMascot& mascot) {
    mascot.m_heading = WrapHeading(HeadingAwayFrom(mascot.m_toTargetX, mascot.m_toTargetY));
}

void CMascot::FixHeading(CMascot& mascot) {
    double p = mascot.m_dirX;
    double q = mascot.m_dirY;
    double h = mascot.m_heading;
    if (p == 0.0) h = q > 0.0 ? 270.0 : 90.0;
    if ((h < 0.0 && q > 0.0) || (h > 0.0 && p > 0.0)) h = h + 180.0;
    if (h < 0.0) {
        h = h + 360.0;
    } else if (h >= 360.0) {
        h = h - 360.0;
    }
    mascot.m_heading = h;
}

void CMascot::AvoidWalls(CMascot& mascot, CTrajectory& store) {
    double x = store.m_keyX[store.m_keyIndex - 1];
    double y = store.m_keyY[store.m_keyIndex - 1];
    double h = mascot.m_heading;
    if (x < kInnerLeft && y < kInnerTop) {
        mascot.m_wallZone = 101;
        mascot.m_heading = TopLeftCorner(h);
    } else if (x < kInnerLeft && y > kInnerBottom) {
        mascot.m_wallZone = 102;
        mascot.m_heading = BottomLeftCorner(h);
    } else if (x > kInnerRight && y < kInnerTop) {
        mascot.m_wallZone = 103;
        mascot.m_heading = TopRightCorner(h);
    } else if (x > kInnerRight && y > kInnerBottom) {
        mascot.m_wallZone = 104;
        mascot.m_heading = BottomRightCorner(h);
    } else if (x <= kInnerLeft) {
        mascot.m_wallZone = 11;
        mascot.m_heading = LeftEdge(h);
    } else if (x >= kInnerRight) {
        mascot.m_wallZone = 12;
        mascot.m_heading = RightEdge(h);
    } else if (y <= kInnerTop) {
        mascot.m_wallZone = 13;
        mascot.m_heading = TopEdge(h);
    } else if (y >= kInnerBottom) {
        mascot.m_wallZone = 14;
        mascot.m_heading = BottomEdge(h);
    } else {
        mascot.m_wallZone = 0;
    }
}

namespace {

bool NearPursuedTarget(const CMascot& mascot) {
    return mascot.m_targetDist < 150.0 && mascot.m_pursuit == 1;
}

// Heading drift inside the inner box and the shy turn away from a near target.
void SteerHeading(CMascot& mascot, const CTrajectory& store) {
    double x = store.m_keyX[store.m_keyIndex - 1];
    double y = store.m_keyY[store.m_keyIndex - 1];
    if (InInnerBox(x, y)) {
        mascot.m_targetQuadrant = QuadrantOf(mascot.m_targetX, mascot.m_targetY, x, y);
        if (mascot.m_targetQuadrant != mascot.m_prevQuadrant) mascot.m_turnSide = std::rand() % 2;
        if (mascot.m_turnSide == 1) {
            mascot.m_heading = mascot.m_heading - std::rand() % 6;
        } else if (mascot.m_turnSide == 0) {
            mascot.m_heading = mascot.m_heading + std::rand() % 6;
        }
    }
    if (mascot.m_pursuit == 1 && mascot.m_targetDist < 100.0 &&
        InInnerBox(mascot.m_targetX, mascot.m_targetY)) {
        mascot.m_heading = HeadingAwayFrom(mascot.m_toTargetX, mascot.m_toTargetY);
    }
}

void ChangeSpeedLevel(CMascot& mascot) {
    if (mascot.m_phase == 0) {
        if (NearPursuedTarget(mascot)) {
            if (mascot.m_speedLevel < 10) mascot.m_speedLevel += 5;
        } else if (mascot.m_speedLevel < 10) {
            mascot.m_speedLevel += std::rand() % 3 + 1;
        } else {
            mascot.m_speedLevel += std::rand() % 2;
        }
    } else if (mascot.m_phase == 1) {
        if (mascot.m_speedLevel > 6) mascot.m_speedLevel -= 5;
        mascot.m_speedLevel -= std::rand() % 3 + 1;
        if (mascot.m_speedLevel <= 1) mascot.m_speedLevel = mascot.m_minLevelPick != 0 ? 2 : 1;
    }
}

}  // namespace

void CMascot::CruiseControl(CMascot& mascot, CTrajectory& store) {
    mascot.m_minLevelPick = std::rand() % 2;
    AvoidWalls(mascot, store);
    SteerHeading(mascot, store);
    mascot.m_heading = WrapHeading(mascot.m_heading);
    DirectionFromHeading(mascot);
    if (mascot.m_speedLevel <= 2) {
        mascot.m_phase = 0;
        mascot.m_cruiseSpeed = std::rand() % 81 + 50;
    }
    // m_step is still the previous key frame's step, as the driver left it after scaling.
    if (NearPursuedTarget(mascot)) {
        mascot.m_cruiseSpeed = std::rand() % 76 + 75;
    } else if (mascot.m_cruiseSpeed - mascot.m_step <= 40.0) {
        mascot.m_phase = 1;
    }
    ChangeSpeedLevel(mascot);
    if (mascot.m_speedLevel >= 20) mascot.m_speedLevel = 20;
    mascot.m_step = LevelStep(mascot.m_speedLevel, mascot.m_cruiseSpeed);
    if (mascot.m_pursuit == 0 && mascot.m_step <= 20.0) mascot.m_step = 20.0;
}
