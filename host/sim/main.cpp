// mascot-sim: runs the motion core headless from a script and prints a CSV trace.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host/sim/simulator.h"
#include "host/sim/svg_trace.h"

namespace {

constexpr const char* kUsage =
    "usage: mascot-sim [--svg FILE [--title TEXT]] [SCRIPT]\n"
    "\n"
    "Runs the mascot's motion core without a window and writes one CSV row per tick to standard\n"
    "output. The script is read from SCRIPT, or from standard input when it is absent.\n"
    "\n"
    "  --svg FILE     also draw the run into FILE as an SVG picture: the screen box, the path of\n"
    "                 the window (its centre), the key points and the cursor path. Runs of more\n"
    "                 than 4096 ticks are thinned out evenly. FILE is written after the run.\n"
    "  --title TEXT   the heading of the picture (default: the script's name)\n"
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

struct Options {
    const char* script = nullptr;
    const char* svgPath = nullptr;
    const char* title = nullptr;
    bool help = false;
};

// False, with a message, on an unknown option, a missing value or a second script.
bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            options.help = true;
            continue;
        }
        const char** value = nullptr;
        if (std::strcmp(arg, "--svg") == 0) value = &options.svgPath;
        if (std::strcmp(arg, "--title") == 0) value = &options.title;
        if (value != nullptr && i + 1 == argc) {
            std::fprintf(stderr, "mascot-sim: %s needs a value\n", arg);
            return false;
        }
        if (value != nullptr) {
            *value = argv[++i];
            continue;
        }
        if (arg[0] == '-' && arg[1] != '\0') {
            std::fprintf(stderr, "mascot-sim: unknown option %s\n", arg);
            return false;
        }
        if (options.script != nullptr) {
            std::fprintf(stderr, "mascot-sim: more than one script given\n");
            return false;
        }
        options.script = arg;
    }
    if (options.title != nullptr && options.svgPath == nullptr) {
        std::fprintf(stderr, "mascot-sim: --title needs --svg\n");
        return false;
    }
    return true;
}

std::FILE* OpenOrReport(const char* path, const char* mode) {
    std::FILE* file = std::fopen(path, mode);
    if (file == nullptr) {
        std::fprintf(stderr, "mascot-sim: cannot open %s: %s\n", path, std::strerror(errno));
    }
    return file;
}

// Writes the picture and closes the file; false, with a message, if anything failed.
bool WriteSvg(const CSvgTrace& trace, std::FILE* svg, const Options& options) {
    const char* title = options.title;
    if (title == nullptr) title = options.script != nullptr ? options.script : "standard input";
    bool written = trace.Write(svg, title);
    bool closed = std::fclose(svg) == 0;
    if (written && closed) return true;
    std::fprintf(stderr, "mascot-sim: error writing %s\n", options.svgPath);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs("usage: mascot-sim [--svg FILE [--title TEXT]] [SCRIPT]; see --help\n", stderr);
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::FILE* in = stdin;
    if (options.script != nullptr && (in = OpenOrReport(options.script, "rb")) == nullptr) {
        return 2;
    }
    std::FILE* svg = nullptr;
    if (options.svgPath != nullptr && (svg = OpenOrReport(options.svgPath, "w")) == nullptr) {
        return 2;
    }
    // Both are large (fixed storage, no allocation per tick), so neither lives on the stack.
    static CCoreState core;
    static CSimulator simulator(core, stdout);
    static CSvgTrace trace;
    if (svg != nullptr) simulator.SetObserver(&trace);
    simulator.Start();
    int status = simulator.RunScript(in, stderr);
    if (!simulator.Finish()) {
        std::fprintf(stderr, "mascot-sim: error writing the trace\n");
        return status != 0 ? status : 1;
    }
    if (svg != nullptr && !WriteSvg(trace, svg, options)) return status != 0 ? status : 1;
    return status;
}
