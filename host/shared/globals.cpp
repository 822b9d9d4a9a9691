// The desktop program's globals, constructed mascot before store, as start-up requires (the
// mascot's constructor seeds the random source), and the one-line forms over them.
#include "host/shared/globals.h"

#include "trajectory/playback.h"

CMascot g_mascot;
CTrajectory g_trajectory;
CTickState g_tickState;
int& g_playIndex = g_tickState.m_playIndex;
int& g_restartClock = g_tickState.m_restartClock;
int& g_zOrder = g_tickState.m_zOrder;
double& g_clickTime = g_tickState.m_clickTime;

void ResetMotion() { ResetMotion(g_mascot, g_trajectory); }

void PlayBack() { PlayBack(g_mascot, g_trajectory, g_playIndex); }

TickPlacement RunTick(int cursorX, int cursorY, std::uint32_t nowMs) {
    return RunTick(g_mascot, g_trajectory, g_tickState, cursorX, cursorY, nowMs);
}

bool ModeRuns() { return ModeRuns(g_mascot); }

void CommitTick() { CommitTick(g_mascot, g_tickState); }

void ResetForCommand() { ResetForCommand(g_mascot, g_tickState); }

CommandResult RunCommand(unsigned id) { return RunCommand(g_mascot, g_tickState, id); }

void FinishCommand() { FinishCommand(g_mascot); }

void DuckOnClick() { DuckOnClick(g_mascot, g_tickState); }
