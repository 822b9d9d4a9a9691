// The host's globals and one timer tick of the whole system, with no window system involved.
#pragma once

#include <cstdint>

#include "engine/mascot.h"
#include "trajectory/trajectory.h"

// Z-order states of the window.
constexpr int ZOrderFront = 0;
constexpr int ZOrderDucked = 1;
constexpr int ZOrderBehind = 3;

constexpr double kDuckSeconds = 10.0;

extern CMascot g_mascot;
extern CTrajectory g_trajectory;
extern int g_playIndex;
extern int g_restartClock;
extern int g_zOrder;
extern double g_clickTime;

struct TickPlacement {
    int x;
    int y;
    bool topmost;  // true: HWND_TOPMOST; false: HWND_BOTTOM
};

// One pass: cursor becomes the target, clock, mode, clamp, placement, playback, commit.
TickPlacement RunTick(int cursorX, int cursorY, std::uint32_t nowMs);

// Copies the tick's current values into the previous-value fields.
void CommitTick();
