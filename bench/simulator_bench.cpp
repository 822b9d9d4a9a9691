// The simulator in-process: a million ticks of a random mode with a moving cursor, the CSV trace
// written to /dev/null. bench/sim-throughput.sh times the mascot-sim program itself.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "host/commands.h"
#include "sim/simulator.h"
#include "tests/fresh_core.h"

namespace {

constexpr std::uint64_t kTicksPerRun = 1000;
constexpr int kRuns = 1000;

void BM_SimulatorMillionTicks(benchmark::State& state) {
    std::FILE* sink = std::fopen("/dev/null", "wb");
    if (sink == nullptr) {
        state.SkipWithError("cannot open /dev/null");
        return;
    }
    for (auto _ : state) {
        StartFreshCore(1);
        CSimulator simulator(sink);
        simulator.Start();
        ScriptEvent command;
        command.kind = ScriptEvent::Kind::Command;
        command.commandId = kCmdRandom16;
        simulator.Apply(command);
        ScriptEvent run;
        run.kind = ScriptEvent::Kind::Run;
        run.count = kTicksPerRun;
        run.stepMs = 10;
        for (int i = 0; i < kRuns; ++i) {
            run.cursorX = 100 + (i * 37) % 900;
            run.cursorY = 100 + (i * 53) % 600;
            run.nowMs = 1000 + static_cast<std::uint32_t>(i * kTicksPerRun * 10);
            simulator.Apply(run);
        }
        simulator.Finish();
    }
    state.SetItemsProcessed(state.iterations() * kTicksPerRun * kRuns);
    std::fclose(sink);
}

}  // namespace

BENCHMARK(BM_SimulatorMillionTicks)->Unit(benchmark::kMillisecond);
