// One timer tick of the whole system, from cursor and clock reading to the window's placement,
// with no window system involved; the tick-level state it keeps beside the two motion records.
#pragma once

#include <cstdint>

#include "engine/mascot.h"
#include "trajectory/trajectory.h"

// Z-order states of the window.
constexpr int ZOrderFront = 0;
constexpr int ZOrderDucked = 1;
constexpr int ZOrderBehind = 3;

constexpr double kDuckSeconds = 10.0;
constexpr unsigned kTickMs = 10;  // the host's timer period

// The state a tick keeps besides the mascot and the store, as a host starts it.
struct CTickState {
    int m_playIndex = 1;     // the path entry playback copies next
    int m_restartClock = 1;  // 1: the next clock reading starts a new epoch
    int m_zOrder = ZOrderFront;
    double m_clickTime = 0.0;  // elapsed seconds at the last left click
};

struct TickPlacement {
    int x;
    int y;
    bool topmost;  // true: above every window; false: below every ordinary window
};

// One pass: cursor becomes the target, clock, mode, clamp, placement, playback, commit.
TickPlacement RunTick(CMascot& mascot, CTrajectory& store, CTickState& tick, int cursorX,
                      int cursorY, std::uint32_t nowMs);

// Whether RunTick runs a mode (random 1..6 or the fixed behaviour, 100). Only a mode reads the
// target, and a command that starts one comes between ticks, before the tick that sets the target
// anew: with no mode, the cursor passed to RunTick changes nothing a later tick or command sees,
// and a host may skip reading it.
bool ModeRuns(const CMascot& mascot);

// Copies the tick's current values into the previous-value fields.
void CommitTick(CMascot& mascot, const CTickState& tick);
