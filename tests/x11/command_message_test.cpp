// The command client message: what the sender writes is what the mascot reads, and nothing
// else is taken for a command.
#include <gtest/gtest.h>

#include "host/x11/command_channel.h"

TEST(CommandMessage, RoundTripsIdAndReplyWindow) {
    std::uint32_t data[kMessageWords] = {9, 9, 9, 9, 9};
    EncodeCommandMessage({57665, 0x1A00003}, data);
    EXPECT_EQ(kCommandMessageVersion, data[0]);
    EXPECT_EQ(57665u, data[1]);
    EXPECT_EQ(0x1A00003u, data[2]);
    EXPECT_EQ(0u, data[3]);
    EXPECT_EQ(0u, data[4]);
    std::optional<CCommandMessage> read = DecodeCommandMessage(data);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(57665, read->id);
    EXPECT_EQ(0x1A00003u, read->replyWindow);
    EncodeCommandMessage({0, 0}, data);
    ASSERT_TRUE(DecodeCommandMessage(data).has_value());
    EncodeCommandMessage({65535, 0}, data);
    EXPECT_EQ(65535, DecodeCommandMessage(data)->id);
}

TEST(CommandMessage, RejectsOtherVersionsWideIdsAndStrayWords) {
    std::uint32_t data[kMessageWords];
    EncodeCommandMessage({32771, 5}, data);
    data[0] = kCommandMessageVersion + 1;
    EXPECT_FALSE(DecodeCommandMessage(data).has_value());
    EncodeCommandMessage({32771, 5}, data);
    data[1] = 0x10000 + 32771;  // would be 32771 if cut to 16 bits
    EXPECT_FALSE(DecodeCommandMessage(data).has_value());
    EncodeCommandMessage({32771, 5}, data);
    data[3] = 1;
    EXPECT_FALSE(DecodeCommandMessage(data).has_value());
    EncodeCommandMessage({32771, 5}, data);
    data[4] = 1;
    EXPECT_FALSE(DecodeCommandMessage(data).has_value());
}
