// Everything one mascot needs besides the random source: the two motion records and the tick's
// own state, for a host that owns its mascot rather than using the globals.
#pragma once

#include "engine/mascot.h"
#include "tick/tick.h"
#include "trajectory/trajectory.h"

// Members in start-up order: the mascot (whose constructor seeds the random source), then the
// store. About 120 KB: hosts keep it on the heap or in static storage, not on the stack.
struct CCoreState {
    CMascot mascot;
    CTrajectory store;
    CTickState tick;
};
