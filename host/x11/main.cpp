// The X11 program's entry point: one action from the command line.
#include <cstdio>
#include <string>

#include "host/x11/command_channel.h"
#include "host/x11/options.h"
#include "host/x11/run_mascot.h"

int main(int argc, char** argv) {
    COptions options = ParseOptions(argc - 1, argv + 1);
    switch (options.action) {
    case ProgramAction::Help: std::fputs(HelpText().c_str(), stdout); return 0;
    case ProgramAction::BadUsage:
        std::fprintf(stderr, "mascot: %s; see mascot --help\n", options.error.c_str());
        return kExitBadUsage;
    case ProgramAction::SendCommand: return SendCommandToMascot(options.commandId);
    case ProgramAction::Run: break;
    }
    return RunMascot(argc, argv);
}
