// mascot-sim: runs the motion core headless from a script and prints a CSV trace.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "sim/simulator.h"

namespace {

constexpr const char* kUsage =
    "usage: mascot-sim [SCRIPT]\n"
    "\n"
    "Runs the mascot's motion core without a window and writes one CSV row per tick to standard\n"
    "output. The script is read from SCRIPT, or from standard input when it is absent.\n"
    "\n"
    "Script: one event per line; blank lines and lines starting with # are ignored.\n"
    "  seed S               srand(S), S an unsigned 32-bit integer\n"
    "  tick X Y MS          one tick with the cursor at (X, Y) (signed 32-bit) and the\n"
    "                       millisecond reading MS (unsigned 32-bit)\n"
    "  run N X Y MS DT      N ticks at (X, Y) with readings MS, MS+DT, MS+2*DT, ... (mod 2^32)\n"
    "  command ID           the menu command ID (0..65535); 57665 (exit) ends the run\n"
    "  click                a left click on the mascot\n"
    "\n"
    "Before the first line the mascot is at (300, 100), idle, as at window creation.\n"
    "Columns: tick,x,y,topmost,posX,posY,mode,behaviour,keyIndex,playIndex,speedLevel,step,\n"
    "heading,orbitAngle,orbitRadius,zOrder. Doubles read back to the identical value.\n"
    "A malformed line stops the run with exit status 2 and a message naming the line.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::FILE* in = stdin;
    if (argc == 2) {
        in = std::fopen(argv[1], "rb");
        if (in == nullptr) {
            std::fprintf(stderr, "mascot-sim: cannot open %s: %s\n", argv[1], std::strerror(errno));
            return 2;
        }
    }
    static CSimulator simulator(stdout);
    simulator.Start();
    int status = simulator.RunScript(in, stderr);
    if (!simulator.Finish()) {
        std::fprintf(stderr, "mascot-sim: error writing the trace\n");
        return status != 0 ? status : 1;
    }
    return status;
}
