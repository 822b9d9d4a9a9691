// Test fixture and helpers shared by the core tests: every test gets a core of its own in the
// start-up state (fresh records, ResetMotion, tick state at its initial values).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/mascot.h"
#include "support/fresh_core.h"
#include "tick/tick.h"
#include "trajectory/trajectory.h"

class CoreTest : public ::testing::Test {
protected:
    // The seed only makes draws repeatable; tests that depend on draws seed for themselves.
    std::unique_ptr<CCoreState> m_core = NewFreshCore(1);
    CMascot& mascot = m_core->mascot;
    CTrajectory& store = m_core->store;
    CTickState& tick = m_core->tick;

    void RestartCore() { StartFreshCore(*m_core, 1); }

    // The store as a behaviour sees it inside a key frame: the newest key point at index 3, the
    // one before it at index 2, and m_keyIndex already advanced to 4.
    void PlaceNewest(double x, double y, double beforeX = 0.0, double beforeY = 0.0) {
        store.m_contextCount = 3;
        store.m_subSteps = 10;
        store.m_needsReset = 0;
        store.m_keyIndex = 4;
        store.m_keyX[2] = beforeX;
        store.m_keyY[2] = beforeY;
        store.m_keyX[3] = x;
        store.m_keyY[3] = y;
    }
};

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
