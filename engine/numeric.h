// Conversions and constants the motion arithmetic shares. Every double-to-int conversion goes
// through SaturateToInt, so a step that has overflowed to infinity or NaN stays defined.
#pragma once

#include <climits>
#include <cmath>

// Heading degrees to radians and back, both from single-precision pi.
constexpr double kHeadingToRadians = 0.017453293005625408;
constexpr double kRadiansToDegrees = 57.29577791868204;
// Orbit angles use 3.14159 / 180.
constexpr double kOrbitToRadians = 0.01745327777777778;

// Truncation toward zero into a 32-bit int: NaN gives 0, out-of-range values the nearest bound.
inline int SaturateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return static_cast<int>(value);
}

// IEEE division written out for a zero divisor, which C++ leaves undefined.
inline double Quotient(double numerator, double denominator) {
    if (denominator != 0.0) return numerator / denominator;
    if (numerator == 0.0 || std::isnan(numerator)) return NAN;
    bool negative = std::signbit(numerator) != std::signbit(denominator);
    return negative ? -INFINITY : INFINITY;
}

// The level rule: step = level x cruise speed x 0.05, and 0 at level 0.
inline double LevelStep(int level, double cruiseSpeed) {
    if (level == 0) return 0.0;
    return level * cruiseSpeed * 0.05;
}

// Subtracts 360 while the heading is 360 or more, then adds 360 while it is negative.
// An infinite heading is left alone rather than looping for ever.
inline double WrapHeading(double heading) {
    if (!std::isfinite(heading)) return heading;
    // Below 2^53 every one of those subtractions is exact, so they add up to fmod's exact
    // remainder: a heading that grew for days (Wander's turns) costs one step, not millions.
    if (heading >= 360.0 && heading < 9007199254740992.0) heading = std::fmod(heading, 360.0);
    while (heading >= 360.0) heading = heading - 360.0;
    while (heading < 0.0) heading = heading + 360.0;
    return heading;
}

// Adds to a counter that only ever grows, stopping at the largest int.
inline int CountUp(int counter) { return counter < INT_MAX ? counter + 1 : counter; }
