// Parsing the command line into one action, and the help text.
#include "host/x11/options.h"

#include <cstring>

namespace {

constexpr char kCommandOption[] = "--command";
constexpr unsigned long kMaxCommandId = 0xFFFF;

COptions Bad(const std::string& error) {
    COptions options;
    options.action = ProgramAction::BadUsage;
    options.error = error;
    return options;
}

// Digits only: no sign, no blanks, no hexadecimal, nothing after the number.
bool ParseId(const char* text, std::uint16_t& id) {
    if (*text == '\0' || std::strlen(text) > 5) return false;
    unsigned long value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + static_cast<unsigned long>(*p - '0');
    }
    if (value > kMaxCommandId) return false;
    id = static_cast<std::uint16_t>(value);
    return true;
}

COptions Command(const char* text) {
    COptions options;
    if (!ParseId(text, options.commandId)) {
        return Bad(std::string("the command id must be a number from 0 to 65535, not '") + text +
                   "'");
    }
    options.action = ProgramAction::SendCommand;
    return options;
}

}  // namespace

COptions ParseOptions(int count, const char* const* args) {
    if (count == 0) return {};
    const char* first = args[0];
    if (std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0) {
        if (count > 1) return Bad("--help takes nothing after it");
        COptions options;
        options.action = ProgramAction::Help;
        return options;
    }
    std::size_t length = sizeof kCommandOption - 1;
    if (std::strcmp(first, kCommandOption) == 0) {
        if (count != 2) return Bad("--command takes one command id");
        return Command(args[1]);
    }
    if (std::strncmp(first, kCommandOption, length) == 0 && first[length] == '=') {
        if (count != 1) return Bad("--command takes one command id");
        return Command(first + length + 1);
    }
    return Bad(std::string("unknown option '") + first + "'");
}
