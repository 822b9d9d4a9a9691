// Encoding and checking the command client messages.
#include "host/x11/command_message.h"

namespace {

constexpr std::uint32_t kMaxId = 0xFFFF;

}  // namespace

void EncodeCommandMessage(const CCommandMessage& message, std::uint32_t (&data)[kMessageWords]) {
    data[0] = kCommandMessageVersion;
    data[1] = message.id;
    data[2] = message.replyWindow;
    data[3] = 0;
    data[4] = 0;
}

std::optional<CCommandMessage> DecodeCommandMessage(const std::uint32_t (&data)[kMessageWords]) {
    if (data[0] != kCommandMessageVersion || data[1] > kMaxId) return std::nullopt;
    if (data[3] != 0 || data[4] != 0) return std::nullopt;
    return CCommandMessage{static_cast<std::uint16_t>(data[1]), data[2]};
}
