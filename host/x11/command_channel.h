// `mascot --command ID`: the sending side, and the running mascot's answer to the sender.
#pragma once

#include <cstdint>

#include "host/x11/command_message.h"
#include "host/x11/x_display.h"

constexpr int kExitReceived = 0;
constexpr int kExitNoMascot = 1;
constexpr int kExitBadUsage = 2;

// Sends the id to the mascot that owns the mascot selection on $DISPLAY and waits for its
// answer; prints one line and returns the exit status.
int SendCommandToMascot(std::uint16_t id);

// Tells the sender of `command` that it was received (nothing for a sender with no window).
void AnswerCommand(const CXDisplay& display, const CCommandMessage& command);
