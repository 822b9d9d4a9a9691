// The calls into the motion core, through its argument-free interface over the host globals.
#include "host/x11/core_link.h"

#include "host/shared/globals.h"

void CoreResetMotion() { ResetMotion(); }

CCorePlacement CoreRunTick(int pointerX, int pointerY, std::uint32_t nowMs) {
    TickPlacement placement = RunTick(pointerX, pointerY, nowMs);
    return {placement.x, placement.y, placement.topmost};
}

CoreCommandResult CoreRunCommand(std::uint16_t id) {
    switch (RunCommand(id)) {
    case CommandResult::Handled: return CoreCommandResult::Handled;
    case CommandResult::Exit: return CoreCommandResult::Exit;
    case CommandResult::Unknown: break;
    }
    return CoreCommandResult::Unknown;
}

void CoreFinishCommand() { FinishCommand(); }

void CoreDuckOnClick() { DuckOnClick(); }
