// Test fixture and helpers shared by the core tests: every test starts from the host's start-up
// state (fresh records, ResetMotion, host globals at their initial values) and leaves it so.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "engine/mascot.h"
#include "host/tick.h"
#include "tests/fresh_core.h"
#include "trajectory/trajectory.h"

// The seed only makes draws repeatable; tests that depend on draws seed for themselves.
inline void RestoreHost() { StartFreshCore(1); }

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override { RestoreHost(); }
    void TearDown() override { RestoreHost(); }
};

// The store as a behaviour sees it inside a key frame: the newest key point at index 3, the
// one before it at index 2, and m_keyIndex already advanced to 4.
inline void PlaceNewest(double x, double y, double beforeX = 0.0, double beforeY = 0.0) {
    g_trajectory.m_contextCount = 3;
    g_trajectory.m_subSteps = 10;
    g_trajectory.m_needsReset = 0;
    g_trajectory.m_keyIndex = 4;
    g_trajectory.m_keyX[2] = beforeX;
    g_trajectory.m_keyY[2] = beforeY;
    g_trajectory.m_keyX[3] = x;
    g_trajectory.m_keyY[3] = y;
}

// The first `count` values rand() % moduli[i] gives after srand(seed), drawn independently of
// the code under test; srand(seed) is called again afterwards so the code sees the same ones.
inline std::vector<int> Draws(unsigned seed, const std::vector<int>& moduli) {
    std::srand(seed);
    std::vector<int> values;
    for (int n : moduli) values.push_back(std::rand() % n);
    std::srand(seed);
    return values;
}

// The draw that follows `consumed` draws after srand(seed): tells how many draws a call took.
inline int RawDrawAfter(unsigned seed, int consumed) {
    std::srand(seed);
    for (int i = 0; i < consumed; ++i) std::rand();
    return std::rand();
}
