// The command line, and the command ids that --help lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/x11/options.h"
#include "resources/menu_layout.h"
#include "tick/commands.h"

namespace {

COptions Parse(std::vector<const char*> args) {
    return ParseOptions(static_cast<int>(args.size()), args.data());
}

}  // namespace

TEST(Options, RunHelpAndCommandForms) {
    EXPECT_EQ(ProgramAction::Run, Parse({}).action);
    EXPECT_EQ(ProgramAction::Help, Parse({"--help"}).action);
    EXPECT_EQ(ProgramAction::Help, Parse({"-h"}).action);
    COptions separate = Parse({"--command", "32771"});
    EXPECT_EQ(ProgramAction::SendCommand, separate.action);
    EXPECT_EQ(32771, separate.commandId);
    COptions joined = Parse({"--command=57665"});
    EXPECT_EQ(ProgramAction::SendCommand, joined.action);
    EXPECT_EQ(57665, joined.commandId);
    EXPECT_EQ(0, Parse({"--command", "0"}).commandId);
    EXPECT_EQ(65535, Parse({"--command", "65535"}).commandId);
    EXPECT_EQ(7, Parse({"--command", "00007"}).commandId);
}

TEST(Options, BadUsageSaysWhatIsWrong) {
    const std::vector<std::vector<const char*>> bad = {
        {"--command"},           {"--command", ""},
        {"--command", "65536"},  {"--command", "-1"},
        {"--command", "+5"},     {"--command", "0x10"},
        {"--command", "12 "},    {"--command", "99999999999999999999"},
        {"--command", "1", "2"}, {"--command=", "1"},
        {"--command="},          {"--commands", "1"},
        {"--help", "x"},         {"run"},
    };
    for (const auto& args : bad) {
        COptions options = Parse(args);
        EXPECT_EQ(ProgramAction::BadUsage, options.action) << args[0];
        EXPECT_FALSE(options.error.empty());
        EXPECT_EQ(std::string::npos, options.error.find('\n'));
    }
    EXPECT_NE(std::string::npos, Parse({"--command", "65536"}).error.find("65536"));
    EXPECT_NE(std::string::npos, Parse({"--verbose"}).error.find("--verbose"));
}

TEST(HelpText, ListsEveryMenuItemAndEveryCommandNoItemCarries) {
    std::string help = HelpText();
    for (const CMenuEntry& entry : kPopupMenuLayout) {
        if (entry.kind != MenuEntryKind::Item) continue;
        EXPECT_NE(std::string::npos, help.find(std::to_string(entry.id) + "  ")) << entry.id;
        EXPECT_NE(std::string::npos, help.find(entry.text)) << entry.id;
    }
    for (unsigned id = IDM_FIRST_BEHAVIOUR; id < IDM_FIRST_BEHAVIOUR + kBehaviourCount; ++id) {
        EXPECT_NE(std::string::npos, help.find(std::to_string(id) + "  ")) << id;
    }
    EXPECT_NE(std::string::npos, help.find(std::to_string(IDM_DUCK) + "  "));
    EXPECT_NE(std::string::npos, help.find("--command ID"));
}
