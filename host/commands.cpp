// The command table of the popup menu (and of ids no menu item carries), and the left click.
#include "host/commands.h"

#include <cstdlib>

#include "host/tick.h"

void ResetForCommand() {
    g_restartClock = 1;
    g_mascot.m_speedLevel = 1;
    g_mascot.m_framesInBehaviour = 0;
    g_mascot.ShuffleOrder();
}

namespace {

// Ids 32771..32786 fix behaviours 8..15, then 0..7 (32779 is the stop item, behaviour 0).
int BehaviourOfCommand(unsigned id) {
    unsigned offset = id - kCmdFirstBehaviour;
    return offset < 8 ? static_cast<int>(offset) + 8 : static_cast<int>(offset) - 8;
}

void FixBehaviour(unsigned id) {
    g_mascot.m_behaviour = BehaviourOfCommand(id);
    if (id == kCmdRetreatToCorner) g_mascot.m_corner = std::rand() % 4 + 1;
    g_mascot.m_mode = kModeFixed;
}

bool SetMode(unsigned id) {
    switch (id) {
    case kCmdRandom2: g_mascot.m_mode = 1; return true;
    case kCmdRandom4: g_mascot.m_mode = 2; return true;
    case kCmdRandom8: g_mascot.m_mode = 3; return true;
    case kCmdRandom16: g_mascot.m_mode = 4; return true;
    case kCmdRandom32: g_mascot.m_mode = 5; return true;
    case kCmdRandom64: g_mascot.m_mode = 6; return true;
    default: return false;
    }
}

bool SetZOrder(unsigned id) {
    switch (id) {
    case kCmdDuck: g_zOrder = ZOrderDucked; return true;  // the click time stays as it was
    case kCmdAlwaysBehind: g_zOrder = ZOrderBehind; return true;
    case kCmdAlwaysInFront: g_zOrder = ZOrderFront; return true;
    default: return false;
    }
}

}  // namespace

CommandResult RunCommand(unsigned long long wParam) {
    ResetForCommand();
    unsigned id = static_cast<unsigned>(wParam & 0xFFFFu);
    if (id == kCmdExit) return CommandResult::Exit;
    bool handled = false;
    if (id >= kCmdFirstBehaviour && id < kCmdFirstBehaviour + 16) {
        FixBehaviour(id);
        handled = true;
    } else {
        handled = SetMode(id) || SetZOrder(id);
    }
    if (!handled) return CommandResult::Unknown;
    FinishCommand();
    return CommandResult::Handled;
}

void FinishCommand() {
    g_mascot.m_prevBehaviour = g_mascot.m_behaviour;
}

void DuckOnClick() {
    g_zOrder = ZOrderDucked;
    g_clickTime = g_mascot.m_elapsed;
}
