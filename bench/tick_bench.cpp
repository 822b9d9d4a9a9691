// RunTick in every random mode and in a few fixed behaviours: all ticks together, then key-frame
// and in-between ticks timed apart.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>

#include "support/fresh_core.h"
#include "tick/commands.h"

namespace {

constexpr int kWarmUpTicks = 5000;
constexpr int kCursorPathLength = 1024;

// The cursor circles the middle of the screen slowly, passing near and far from the mascot.
struct CCursorPath {
    int x[kCursorPathLength];
    int y[kCursorPathLength];
    CCursorPath() {
        for (int i = 0; i < kCursorPathLength; ++i) {
            double a = 2.0 * 3.141592653589793 * i / kCursorPathLength;
            x[i] = 520 + static_cast<int>(380.0 * std::cos(a));
            y[i] = 360 + static_cast<int>(260.0 * std::sin(3.0 * a));
        }
    }
};
const CCursorPath g_cursorPath;

// The one core the benchmarks run, static as it is large.
CCoreState& Core() {
    static CCoreState core;
    return core;
}

struct CTickDriver {
    std::uint32_t now = 1000;
    int cursor = 0;
    TickPlacement Tick() {
        int i = cursor++ & (kCursorPathLength - 1);
        CCoreState& core = Core();
        TickPlacement placement =
            RunTick(core.mascot, core.store, core.tick, g_cursorPath.x[i], g_cursorPath.y[i], now);
        now += kTickMs;
        return placement;
    }
};

// A fresh core running the given command, past its start-up.
CTickDriver StartRunning(unsigned commandId) {
    StartFreshCore(Core(), 1);
    RunCommand(Core().mascot, Core().tick, commandId);
    CTickDriver driver;
    for (int i = 0; i < kWarmUpTicks; ++i) driver.Tick();
    return driver;
}

void BM_RunTick(benchmark::State& state) {
    CTickDriver driver = StartRunning(static_cast<unsigned>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(driver.Tick());
}

// The next tick is a key frame when the counter has come round to 10 (or 0 right after a command).
bool NextTickIsKeyFrame() { return Core().mascot.m_tickInFrame % kTicksPerFrame == 0; }

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One key-frame tick per iteration, the nine ticks between timed off.
void BM_RunTickKeyFrame(benchmark::State& state) {
    CTickDriver driver = StartRunning(static_cast<unsigned>(state.range(0)));
    for (auto _ : state) {
        while (!NextTickIsKeyFrame()) driver.Tick();
        auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(driver.Tick());
        state.SetIterationTime(SecondsSince(start));
    }
}

// The nine ticks between two key frames per iteration; the time reported is per tick.
void BM_RunTickBetweenFrames(benchmark::State& state) {
    CTickDriver driver = StartRunning(static_cast<unsigned>(state.range(0)));
    for (auto _ : state) {
        while (!NextTickIsKeyFrame()) driver.Tick();
        driver.Tick();
        auto start = std::chrono::steady_clock::now();
        for (int i = 1; i < kTicksPerFrame; ++i) benchmark::DoNotOptimize(driver.Tick());
        state.SetIterationTime(SecondsSince(start) / (kTicksPerFrame - 1));
    }
}

// Command ids: the six random modes, then Cruise (straight), Circle (orbiting), Chase (cursor).
void Commands(benchmark::internal::Benchmark* b) {
    for (unsigned id :
         {IDM_RANDOM2, IDM_RANDOM4, IDM_RANDOM8, IDM_RANDOM16, IDM_RANDOM32, IDM_RANDOM64}) {
        b->Arg(id);
    }
    b->Arg(IDM_FIRST_BEHAVIOUR + 10);  // behaviour 2, Cruise
    b->Arg(IDM_FIRST_BEHAVIOUR + 4);   // behaviour 12, Circle
    b->Arg(IDM_FIRST_BEHAVIOUR + 0);   // behaviour 8, Chase
    b->ArgName("command");
}

}  // namespace

BENCHMARK(BM_RunTick)->Apply(Commands);
BENCHMARK(BM_RunTickKeyFrame)->Apply(Commands)->UseManualTime();
BENCHMARK(BM_RunTickBetweenFrames)->Apply(Commands)->UseManualTime();
