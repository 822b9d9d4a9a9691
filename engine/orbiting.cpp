// Orbiting behaviours: loop, tumble, circle and tremble move a centre point and leave the step
// driver to place the key point on a circle around it.
#include <cmath>
#include <cstdlib>

#include "engine/direction.h"
#include "engine/mascot.h"
#include "engine/numeric.h"
#include "trajectory/trajectory.h"

namespace {

// The centre moves from where it stood at the end of the previous tick.
void MoveCentre(CMascot& mascot) {
    mascot.m_keyX = mascot.m_dirX * mascot.m_step + mascot.m_prevKeyX;
    mascot.m_keyY = mascot.m_dirY * mascot.m_step + mascot.m_prevKeyY;
}

double CentreDistanceToTarget(const CMascot& mascot) {
    double dx = mascot.m_targetX - mascot.m_keyX;
    double dy = mascot.m_targetY - mascot.m_keyY;
    return std::sqrt(dx * dx + dy * dy);
}

// A turn of the circle starts when the angle is exactly 0 or has passed 360.
bool AtTurnStart(double angle) { return angle >= 360.0 || angle == 0.0; }

void DriftCircleRadius(CMascot& mascot) {
    if (std::rand() % 2 == 0) {
        if (mascot.m_orbitRadius <= 200) mascot.m_orbitRadius += std::rand() % 6;
    } else if (mascot.m_orbitRadius >= 80) {
        mascot.m_orbitRadius -= std::rand() % 6;
    }
}

}  // namespace

void CMascot::Loop(CMascot& mascot, CTrajectory& store) {
    if (AtTurnStart(mascot.m_orbitAngle) || mascot.m_orbitRadius < 50) {
        mascot.m_orbitRadius = std::rand() % 26 + 50;
    }
    mascot.m_pursuit = 0;
    CruiseControl(mascot, store);
    if (mascot.m_step >= 30.0) mascot.m_step = 30.0;
    MoveCentre(mascot);
    mascot.m_orbitAngle += std::rand() % 30 + 30;
}

void CMascot::Tumble(CMascot& mascot, CTrajectory& store) {
    mascot.m_pursuit = 0;
    CruiseControl(mascot, store);
    if (mascot.m_step >= 30.0) mascot.m_step = 30.0;
    MoveCentre(mascot);
    if (mascot.m_orbitAngle == 0.0) mascot.m_orbitRadius = 40;
    mascot.m_orbitAngle += std::rand() % 50 + 50;
    if (mascot.m_orbitAngle >= 360.0) mascot.m_laps += 1;
    if (mascot.m_laps == 2) {
        mascot.m_laps = 0;
        mascot.m_orbitRadius = std::rand() % 60 + 40;
    }
    // The centre takes the circle's horizontal swing; every second turn it also slides left.
    double swing = std::sin(mascot.m_orbitAngle * kOrbitToRadians) * mascot.m_orbitRadius;
    if (mascot.m_laps == 0) {
        mascot.m_keyX = mascot.m_keyX + swing;
    } else if (mascot.m_laps == 1) {
        mascot.m_keyX = mascot.m_keyX + swing - 60.0;
    }
    mascot.m_cruiseSpeed =
        (2.0 * mascot.m_orbitRadius) * (mascot.m_orbitAngle * 0.002777777777777778);
    mascot.m_speedLevel = 10;
}

void CMascot::Circle(CMascot& mascot, CTrajectory&) {
    if (mascot.m_orbitRadius <= 80) mascot.m_orbitRadius = std::rand() % 21 + 100;
    if (mascot.m_orbiting != 1) mascot.m_orbitRadius = mascot.m_orbitRadius / 3;
    if (AtTurnStart(mascot.m_orbitAngle)) DriftCircleRadius(mascot);
    if (CentreDistanceToTarget(mascot) >= 60.0) {
        mascot.m_step = 60.0;
    } else if (mascot.m_targetDist < 40.0) {
        mascot.m_step = 0.0;
    }
    AimDirectlyAtTarget(mascot);
    MoveCentre(mascot);
    mascot.m_orbitAngle += 30.0;
}

void CMascot::Tremble(CMascot& mascot, CTrajectory&) {
    mascot.m_orbitRadius = 10 - std::rand() % 21;
    mascot.m_step = ApproachStep(mascot.m_targetDist);
    if (CentreDistanceToTarget(mascot) >= 60.0) mascot.m_step = 60.0;
    if (mascot.m_targetDist < 20.0) mascot.m_step = 0.0;
    AimDirectlyAtTarget(mascot);
    MoveCentre(mascot);
    mascot.m_orbitAngle += 50.0;
    mascot.m_cruiseSpeed = mascot.m_step;
    mascot.m_speedLevel = 10;
}
