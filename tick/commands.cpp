// The command table of the popup menu (and of ids no menu item carries), and the left click.
#include "tick/commands.h"

#include <cstdlib>

void ResetForCommand(CMascot& mascot, CTickState& tick) {
    tick.m_restartClock = 1;
    mascot.m_speedLevel = 1;
    mascot.m_framesInBehaviour = 0;
    mascot.ShuffleOrder();
}

int BehaviourOfCommand(unsigned id) {
    unsigned offset = id - IDM_FIRST_BEHAVIOUR;
    return offset < 8 ? static_cast<int>(offset) + 8 : static_cast<int>(offset) - 8;
}

namespace {

void FixBehaviour(CMascot& mascot, unsigned id) {
    mascot.m_behaviour = BehaviourOfCommand(id);
    if (id == IDM_RETREAT_TO_CORNER) mascot.m_corner = std::rand() % 4 + 1;
    mascot.m_mode = kModeFixed;
}

bool SetMode(CMascot& mascot, unsigned id) {
    switch (id) {
    case IDM_RANDOM2: mascot.m_mode = 1; return true;
    case IDM_RANDOM4: mascot.m_mode = 2; return true;
    case IDM_RANDOM8: mascot.m_mode = 3; return true;
    case IDM_RANDOM16: mascot.m_mode = 4; return true;
    case IDM_RANDOM32: mascot.m_mode = 5; return true;
    case IDM_RANDOM64: mascot.m_mode = 6; return true;
    default: return false;
    }
}

bool SetZOrder(CTickState& tick, unsigned id) {
    switch (id) {
    case IDM_DUCK: tick.m_zOrder = ZOrderDucked; return true;  // the click time stays as it was
    case IDM_ALWAYS_BEHIND: tick.m_zOrder = ZOrderBehind; return true;
    case IDM_ALWAYS_IN_FRONT: tick.m_zOrder = ZOrderFront; return true;
    default: return false;
    }
}

}  // namespace

CommandResult RunCommand(CMascot& mascot, CTickState& tick, unsigned id) {
    ResetForCommand(mascot, tick);
    if (id == IDM_EXIT) return CommandResult::Exit;
    bool handled = false;
    if (id >= IDM_FIRST_BEHAVIOUR && id < IDM_FIRST_BEHAVIOUR + kBehaviourCount) {
        FixBehaviour(mascot, id);
        handled = true;
    } else {
        handled = SetMode(mascot, id) || SetZOrder(tick, id);
    }
    if (!handled) return CommandResult::Unknown;
    FinishCommand(mascot);
    return CommandResult::Handled;
}

void FinishCommand(CMascot& mascot) { mascot.m_prevBehaviour = mascot.m_behaviour; }

void DuckOnClick(const CMascot& mascot, CTickState& tick) {
    tick.m_zOrder = ZOrderDucked;
    tick.m_clickTime = mascot.m_elapsed;
}
