// The command line of the X11 program: run, show the help, or send a command to the running
// mascot; the text of --help, and the exit statuses it lists.
#pragma once

#include <cstdint>
#include <string>

// ---- The command line ---------------------------------------------------------------------------

enum class ProgramAction { Run, Help, SendCommand, BadUsage };

struct COptions {
    ProgramAction action = ProgramAction::Run;
    std::uint16_t commandId = 0;  // for SendCommand
    std::string error;            // for BadUsage: one line saying what is wrong
};

// `args` without the program name. Accepted: nothing, --help (or -h), --command ID or
// --command=ID with ID a decimal number 0..65535.
COptions ParseOptions(int count, const char* const* args);

// ---- The help text ------------------------------------------------------------------------------

// The text of --help: usage, options, exit statuses, environment and every command id.
std::string HelpText();

// The exit statuses, as the help text lists them.
constexpr int kExitSuccess = 0;  // ended by the exit item or a signal; --command: received
constexpr int kExitFailure = 1;  // no display, cannot start, display lost; --command: no mascot
constexpr int kExitBadUsage = 2;
