// The X11 host's one door to the motion core: every call into the core goes through here, so
// that a change of the core's interface touches this pair of files only.
#pragma once

#include <cstdint>

struct CCorePlacement {
    int x;
    int y;
    bool topmost;  // true: above every window; false: below every ordinary window
};

enum class CoreCommandResult {
    Handled,
    Exit,     // the host ends the program, then calls CoreFinishCommand()
    Unknown,  // not a command of the core; the reset that starts every command has still run
};

// The start state of the mascot and its trajectory, at the start position, idle.
void CoreResetMotion();

// One tick: the pointer in root coordinates and the millisecond clock, wrapping at 2^32.
CCorePlacement CoreRunTick(int pointerX, int pointerY, std::uint32_t nowMs);

CoreCommandResult CoreRunCommand(std::uint16_t id);
void CoreFinishCommand();

// A left button press on the mascot: ducked for ten seconds.
void CoreDuckOnClick();
