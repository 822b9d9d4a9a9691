// The client messages that carry a command id to the running mascot and its answer back: the
// X11 counterpart of posting WM_COMMAND to the Windows program's window.
#pragma once

#include <cstdint>
#include <optional>

// Data of a 32-bit client message: [0] the format version, [1] the command id, [2] the window
// that wants the answer (a command) or 0 (an answer), [3] and [4] zero.
constexpr std::uint32_t kCommandMessageVersion = 1;
constexpr int kMessageWords = 5;

struct CCommandMessage {
    std::uint16_t id;
    std::uint32_t replyWindow;  // 0 in an answer
};

void EncodeCommandMessage(const CCommandMessage& message, std::uint32_t (&data)[kMessageWords]);

// The message, or nothing when the data is not one this version writes: another version, an id
// beyond 16 bits, or words that must be zero and are not.
std::optional<CCommandMessage> DecodeCommandMessage(const std::uint32_t (&data)[kMessageWords]);
