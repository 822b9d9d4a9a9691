// Menu commands and the left click, as a host carries them out.
#pragma once

#include "engine/mascot.h"
#include "tick/command_ids.h"
#include "tick/tick.h"

constexpr int kModeFixed = 100;
// Ids IDM_FIRST_BEHAVIOUR onwards fix one behaviour each.
constexpr unsigned kBehaviourCount = 16;

enum class CommandResult {
    Handled,  // the command did its work
    Exit,     // the host ends the program (its window destroyed), then FinishCommand runs
    Unknown,  // not a command of the core (a window procedure passes it on); the reset that
              // starts every command has still run
};

// Runs at the start of every command, whatever its id.
void ResetForCommand(CMascot& mascot, CTickState& tick);

// The command reset, then the command table on the 16-bit command id (hosts pass the low word
// of a WM_COMMAND's wParam). For Handled ids the behaviour is already copied into
// m_prevBehaviour.
CommandResult RunCommand(CMascot& mascot, CTickState& tick, unsigned id);

// The behaviour (0..15) that the fixed-behaviour command `id` runs: ids 32771..32786 fix
// behaviours 8..15, then 0..7 (32779 is the stop item, behaviour 0).
int BehaviourOfCommand(unsigned id);

// The copy into m_prevBehaviour that ends a handled command (the exit command calls it after the
// window has been destroyed).
void FinishCommand(CMascot& mascot);

// A left click on the mascot: ducked for ten seconds from now.
void DuckOnClick(const CMascot& mascot, CTickState& tick);
