// The one mascot of a desktop program, as globals, and the argument-free forms of the core's
// operations over them, for the window hosts.
#pragma once

#include <cstdint>

#include "tick/commands.h"
#include "tick/tick.h"

extern CMascot g_mascot;
extern CTrajectory g_trajectory;
extern CTickState g_tickState;
// The tick-level globals, by their own names, are the fields of g_tickState.
extern int& g_playIndex;
extern int& g_restartClock;
extern int& g_zOrder;
extern double& g_clickTime;

void ResetMotion();
void PlayBack();
TickPlacement RunTick(int cursorX, int cursorY, std::uint32_t nowMs);
bool ModeRuns();
void CommitTick();
void ResetForCommand();
CommandResult RunCommand(unsigned id);
void FinishCommand();
void DuckOnClick();
