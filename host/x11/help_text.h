// The commands that no menu item carries, as --help lists them.
#pragma once

#include <cstdint>

struct CFixedBehaviourCommand {
    std::uint16_t id;
    int behaviour;  // 0..15
};

// Commands 32771..32786, each fixing one behaviour (a test checks them against the core).
extern const CFixedBehaviourCommand kFixedBehaviourCommands[16];
extern const char* const kBehaviourNames[16];
