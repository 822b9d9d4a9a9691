// Menu commands and the left click, as the window procedure carries them out.
#pragma once

// Command ids of the popup menu and of the commands no menu item carries.
constexpr unsigned kCmdFirstBehaviour = 32771;  // 32771..32786: fixed behaviours
constexpr unsigned kCmdStop = 32779;
constexpr unsigned kCmdRetreatToCorner = 32785;
constexpr unsigned kCmdDuck = 32792;
constexpr unsigned kCmdRandom2 = 32793;
constexpr unsigned kCmdRandom4 = 32794;
constexpr unsigned kCmdRandom16 = 32795;
constexpr unsigned kCmdRandom8 = 32796;
constexpr unsigned kCmdRandom32 = 32797;
constexpr unsigned kCmdRandom64 = 32798;
constexpr unsigned kCmdAlwaysBehind = 32799;
constexpr unsigned kCmdAlwaysInFront = 32800;
constexpr unsigned kCmdExit = 57665;

constexpr int kModeFixed = 100;

enum class CommandResult {
    Handled,  // the command did its work; the window procedure returns 0
    Exit,     // the window must be destroyed, then FinishCommand() runs
    Unknown,  // not ours: the window procedure passes it to DefWindowProcA
};

// Runs at the start of every command, whatever its id.
void ResetForCommand();

// The command reset, then the command table on the low 16 bits of wParam.
// For Handled ids the behaviour is already copied into m_prevBehaviour.
CommandResult RunCommand(unsigned long long wParam);

// The copy into m_prevBehaviour that ends a handled command (the exit command calls it after the
// window has been destroyed).
void FinishCommand();

// A left click on the mascot: ducked for ten seconds from now.
void DuckOnClick();
