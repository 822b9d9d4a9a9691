// Turning a heading into the unit direction of motion, shared by the behaviours.
#pragma once

#include <cmath>

#include "engine/mascot.h"
#include "engine/numeric.h"

// Heading 0 moves right, 90 up the screen, 180 left, 270 down.
inline void DirectionFromHeading(CMascot& mascot) {
    mascot.m_dirX = std::cos(mascot.m_heading * kHeadingToRadians);
    mascot.m_dirY = -std::sin(mascot.m_heading * kHeadingToRadians);
}

// Chase and Tremble: 0.0003 x ((distance - 40) + 200 sqrt 3), squared: first the sum, then its
// square, then the factor.
inline double ApproachStep(double targetDist) {
    double sum = (targetDist - 40.0) + 346.41016151377545;
    return 0.0003 * (sum * sum);
}
