// The simulator in-process: a million ticks of a random mode with a moving cursor, the CSV trace
// written to /dev/null. bench/sim-throughput.sh times the mascot-sim program itself.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "host/sim/simulator.h"
#include "support/fresh_core.h"
#include "tick/commands.h"

namespace {

constexpr std::uint64_t kTicksPerRun = 1000;
constexpr int kRuns = 1000;

void BM_SimulatorMillionTicks(benchmark::State& state) {
    std::FILE* sink = std::fopen("/dev/null", "wb");
    if (sink == nullptr) {
        state.SkipWithError("cannot open /dev/null");
        return;
    }
    auto core = NewFreshCore(1);
    for (auto _ : state) {
        StartFreshCore(*core, 1);
        CSimulator simulator(*core, sink);
        simulator.Start();
        ScriptEvent command;
        command.kind = ScriptEvent::Kind::Command;
        command.commandId = IDM_RANDOM16;
        simulator.Apply(command);
        ScriptEvent run;
        run.kind = ScriptEvent::Kind::Run;
        run.count = kTicksPerRun;
        run.stepMs = kTickMs;
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
