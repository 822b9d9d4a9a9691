// Setting the unit direction of motion, from a heading or at the target, shared by the behaviours.
#pragma once

#include <cmath>

#include "engine/mascot.h"
#include "engine/numeric.h"

// Heading 0 moves right, 90 up the screen, 180 left, 270 down.
inline void DirectionFromHeading(CMascot& mascot) {
    mascot.m_dirX = std::cos(mascot.m_heading * kHeadingToRadians);
    mascot.m_dirY = -std::sin(mascot.m_heading * kHeadingToRadians);
}

// Straight at the target, along the unit vector the aiming left in m_toTargetX/m_toTargetY.
inline void AimDirectlyAtTarget(CMascot& mascot) {
    mascot.m_dirX = mascot.m_toTargetX;
    mascot.m_dirY = mascot.m_toTargetY;
}

// Chase and Tremble: 0.0003 x ((distance - 40) + 200 sqrt 3), squared: first the sum, then its
// square, then the factor.
inline double ApproachStep(double targetDist) {
    double sum = (targetDist - 40.0) + 346.41016151377545;
    return 0.0003 * (sum * sum);
}
