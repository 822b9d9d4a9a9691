// Roaming behaviours, which ignore the cursor: brake, jitter, cruise, wander, corner retreat and
// bounce. Each decides speed, step and direction; the step driver makes the move.
#include <cmath>
#include <cstdlib>

#include "engine/direction.h"
#include "engine/geometry.h"
#include "engine/mascot.h"
#include "engine/numeric.h"
#include "trajectory/trajectory.h"

namespace {

// Jitter's angle uses single-precision pi and 1/180, multiplied in double.
constexpr double kJitterPi = static_cast<double>(3.1415927f);
constexpr double kJitterInverse180 = static_cast<double>(0.0055555557f);

// Wander's new heading at the start of a burst: out of a corner zone, away from an edge, or a
// random turn.
double BurstHeading(double x, double y, double heading) {
    if (x < 100.0 && y < 100.0) return std::rand() % 101 + 265;
    if (x < 100.0 && y > 600.0) return 95 - std::rand() % 101;
    if (x > 920.0 && y < 100.0) return std::rand() % 101 + 175;
    if (x > 920.0 && y > 600.0) return std::rand() % 101 + 85;
    if (x <= 100.0) return 105 - std::rand() % 211;
    if (x >= 920.0) return std::rand() % 211 + 75;
    if (y <= 100.0) return std::rand() % 211 + 165;
    if (y >= 600.0) return 195 - std::rand() % 211;
    return heading + std::rand() % 361;
}

void StartBurst(CMascot& mascot, const CTrajectory& store) {
    double x = store.m_keyX[store.m_keyIndex - 1];
    double y = store.m_keyY[store.m_keyIndex - 1];
    mascot.m_heading = BurstHeading(x, y, mascot.m_heading);
    DirectionFromHeading(mascot);
    mascot.m_cruiseSpeed = std::rand() % 71 + 50;
    mascot.m_speedLevel += std::rand() % 2 + 1;
    mascot.m_wanderBurst = std::rand() % 10 + 2;
    mascot.m_wanderEnd = std::rand() % 6 + mascot.m_wanderBurst;
}

void WanderSpeed(CMascot& mascot) {
    if (mascot.m_wanderStep < mascot.m_wanderBurst - 2) {
        mascot.m_speedLevel += std::rand() % 3 + 1;
        return;
    }
    if (mascot.m_speedLevel > 3) {
        mascot.m_speedLevel = 3;
    } else {
        mascot.m_speedLevel -= std::rand() % 3 + 1;
    }
    if (mascot.m_speedLevel <= 0) mascot.m_speedLevel = 0;
}

struct Corner {
    double x;
    double y;
};

Corner CornerPosition(int corner) {
    switch (corner) {
    case 2: return {kScreenRight, kScreenTop};
    case 3: return {kScreenRight, kScreenBottom};
    case 4: return {kScreenLeft, kScreenBottom};
    default: return {kScreenLeft, kScreenTop};  // 1, the top left
    }
}

}  // namespace

void CMascot::Brake(CMascot& mascot, CTrajectory&) {
    if (mascot.m_speedLevel >= 10) mascot.m_speedLevel = 10;
    // Truncated first: below scale 1 the mascot keeps its speed.
    mascot.m_speedLevel -= 4 * SaturateToInt(mascot.m_speedScale);
    if (mascot.m_speedLevel <= 0) mascot.m_speedLevel = 0;
    mascot.m_step = LevelStep(mascot.m_speedLevel, mascot.m_cruiseSpeed);
}

void CMascot::Jitter(CMascot& mascot, CTrajectory&) {
    int stepLength = std::rand() % 21 + 5;
    mascot.m_speedLevel = 5;
    mascot.m_step = stepLength;
    mascot.m_cruiseSpeed = stepLength;
    int degrees = std::rand() % 361;
    double angle = (degrees * kJitterPi) * kJitterInverse180;
    mascot.m_dirX = std::cos(angle);
    mascot.m_dirY = std::sin(angle);
}

void CMascot::Cruise(CMascot& mascot, CTrajectory& store) {
    mascot.m_pursuit = 0;
    CruiseControl(mascot, store);
}

void CMascot::Wander(CMascot& mascot, CTrajectory& store) {
    int halt = std::rand() % 2;
    mascot.m_speedLevel += 1;
    if (mascot.m_wanderStep == 0) {
        StartBurst(mascot, store);
    } else if (mascot.m_wanderStep == mascot.m_wanderBurst && halt == 0) {
        mascot.m_dirX = 0.0;
        mascot.m_dirY = 0.0;
    }
    if (mascot.m_wanderStep == mascot.m_wanderEnd) mascot.m_wanderStep = -1;
    WanderSpeed(mascot);
    if (mascot.m_speedLevel >= 20) {
        mascot.m_speedLevel = 20;  // the step of the previous key frame stays
    } else {
        mascot.m_step = LevelStep(mascot.m_speedLevel, mascot.m_cruiseSpeed);
    }
    mascot.m_wanderStep += 1;
}

void CMascot::RetreatToCorner(CMascot& mascot, CTrajectory&) {
    mascot.m_step = 50.0;
    mascot.m_speedLevel = 5;
    Corner corner = CornerPosition(mascot.m_corner);
    double dx = corner.x - mascot.m_posX;
    double dy = corner.y - mascot.m_posY;
    double distance = std::sqrt(dx * dx + dy * dy);
    if (distance == 0.0) {
        mascot.m_dirX = 0.0;
        mascot.m_dirY = 0.0;
        return;
    }
    mascot.m_dirX = dx / distance;
    mascot.m_dirY = dy / distance;
}

void CMascot::Bounce(CMascot& mascot, CTrajectory& store) {
    mascot.m_step = 80.0;
    mascot.m_cruiseSpeed = 80.0;
    mascot.m_speedLevel = 5;
    mascot.m_bounceCount += 1;
    int phase = mascot.m_bounceCount;
    double x = store.m_keyX[store.m_keyIndex - 1];
    if (x <= 100.0) {
        mascot.m_side = 0;
    } else if (x >= 920.0) {
        mascot.m_side = 1;
    }
    if (phase == 1) {
        mascot.m_heading = mascot.m_side == 0 ? std::rand() % 90 : std::rand() % 90 + 90;
        mascot.m_savedHeading = mascot.m_heading;
    }
    if (phase == 3) {
        mascot.m_bounceCount = 0;
        mascot.m_heading = -mascot.m_savedHeading;
    }
    DirectionFromHeading(mascot);
}
