// Puts the whole core back into its start-up state, as a freshly started program after window
// creation would have it; shared by the unit tests, the soak, the fuzz target and the benchmarks.
#pragma once

#include <cstdlib>
#include <memory>

#include "host/tick.h"

inline void StartFreshCore(unsigned seed) {
    g_mascot = CMascot();
    // The store is ~100 KB: the fresh one is built on the heap, not on the stack.
    g_trajectory = *std::make_unique<CTrajectory>();
    g_playIndex = 1;
    g_restartClock = 1;
    g_zOrder = ZOrderFront;
    g_clickTime = 0.0;
    ResetMotion();
    std::srand(seed);
}
