// Puts a mascot's whole core into its start-up state, as a freshly started program after window
// creation would have it; shared by the unit tests, the soak, the fuzz target and the benchmarks.
#pragma once

#include <cstdlib>
#include <memory>

#include "tick/core_state.h"

inline void StartFreshCore(CCoreState& core, unsigned seed) {
    core.mascot = CMascot();
    // The store is ~100 KB: the fresh one is built on the heap, not on the stack.
    core.store = *std::make_unique<CTrajectory>();
    core.tick = CTickState();
    ResetMotion(core.mascot, core.store);
    std::srand(seed);
}

// A core of its own on the heap, freshly started.
inline std::unique_ptr<CCoreState> NewFreshCore(unsigned seed) {
    auto core = std::make_unique<CCoreState>();
    StartFreshCore(*core, seed);
    return core;
}
