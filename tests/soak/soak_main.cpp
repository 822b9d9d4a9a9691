// mascot-soak: runs the core for simulated days of 10 ms ticks, the millisecond reading wrapping
// past 2^32 halfway, and checks on every tick that the mascot stays sound.
// Usage: mascot-soak [--days D] [--seed S]   (D may be fractional; 1 day = 8,640,000 ticks)
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/fresh_core.h"
#include "tests/soak/alloc_counter.h"
#include "tests/soak/soak_schedule.h"
#include "tick/commands.h"

namespace {

constexpr double kTicksPerDay = 24.0 * 60 * 60 * 1000 / kTickMs;
constexpr int kMaxKeyIndex = 301;
constexpr int kMaxPlayIndex = 2980;
// A random mode switches every 20 due frames (about 100 ticks); even the two-behaviour pool
// must show a different behaviour well within this many ticks.
constexpr std::uint64_t kSwitchBound = 6000;
constexpr int kMaxFaultsShown = 10;

struct COptions {
    double days = 1.0;
    std::uint64_t seed = 1;
};

bool ParseOptions(int argc, char** argv, COptions& options) {
    for (int i = 1; i < argc; ++i) {
        char* end = nullptr;
        if (std::strcmp(argv[i], "--days") == 0 && i + 1 < argc) {
            options.days = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(options.days > 0.0) || options.days > 49.0) return false;
        } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            options.seed = std::strtoull(argv[++i], &end, 10);
            if (*end != '\0') return false;
        } else {
            return false;
        }
    }
    return true;
}

class CSoak {
public:
    CSoak(CCoreState& core, const COptions& options, std::uint64_t ticks,
          std::uint32_t firstReading)
        : m_core(core),
          m_options(options),
          m_ticks(ticks),
          m_firstReading(firstReading),
          m_wrapTick((0x100000000ULL - firstReading + kTickMs - 1) / kTickMs),
          m_schedule(options.seed, m_wrapTick) {}

    int Run();

private:
    void Fault(std::uint64_t tick, std::uint32_t reading, const char* what);
    void CheckTick(std::uint64_t tick, std::uint32_t reading, const TickPlacement& placement);
    void TrackSwitching(std::uint64_t tick, std::uint32_t reading);

    CCoreState& m_core;
    COptions m_options;
    std::uint64_t m_ticks;
    std::uint32_t m_firstReading;
    std::uint64_t m_wrapTick;
    CSoakSchedule m_schedule;
    int m_faults = 0;
    std::uint64_t m_commands = 0;
    std::uint64_t m_clicks = 0;
    std::uint64_t m_switches = 0;
    std::uint64_t m_quietSince = 0;  // last command or behaviour change
    int m_lastBehaviour = -1;
    bool m_switchedAfterWrap = false;
};

void CSoak::Fault(std::uint64_t tick, std::uint32_t reading, const char* what) {
    ++m_faults;
    if (m_faults > kMaxFaultsShown) return;
    std::fprintf(stderr,
                 "FAULT at tick %llu (reading %u, seed %llu): %s\n"
                 "  mode %d behaviour %d pos (%.17g, %.17g) keyIndex %d playIndex %d step %.17g "
                 "speedScale %g\n",
                 static_cast<unsigned long long>(tick), reading,
                 static_cast<unsigned long long>(m_options.seed), what, m_core.mascot.m_mode,
                 m_core.mascot.m_behaviour, m_core.mascot.m_posX, m_core.mascot.m_posY,
                 m_core.store.m_keyIndex, m_core.tick.m_playIndex, m_core.mascot.m_step,
                 m_core.mascot.m_speedScale);
}

void CSoak::CheckTick(std::uint64_t tick, std::uint32_t reading, const TickPlacement& p) {
    if (p.x < 20 || p.x > 1000) Fault(tick, reading, "placement x outside 20..1000");
    if (p.y < 20 || p.y > 680) Fault(tick, reading, "placement y outside 20..680");
    if (std::isnan(m_core.mascot.m_posX) || std::isnan(m_core.mascot.m_posY)) {
        Fault(tick, reading, "position is not a number");
    }
    if (m_core.store.m_keyIndex < 0 || m_core.store.m_keyIndex > kMaxKeyIndex) {
        Fault(tick, reading, "key index outside 0..301");
    }
    if (m_core.tick.m_playIndex < 1 || m_core.tick.m_playIndex > kMaxPlayIndex) {
        Fault(tick, reading, "play index outside 1..2980");
    }
    if (m_core.tick.m_zOrder != ZOrderFront && m_core.tick.m_zOrder != ZOrderDucked &&
        m_core.tick.m_zOrder != ZOrderBehind) {
        Fault(tick, reading, "z-order state outside 0, 1, 3");
    }
}

bool InRandomMode(const CMascot& mascot) { return mascot.m_mode >= 1 && mascot.m_mode <= 6; }

void CSoak::TrackSwitching(std::uint64_t tick, std::uint32_t reading) {
    if (m_core.mascot.m_behaviour != m_lastBehaviour) {
        m_lastBehaviour = m_core.mascot.m_behaviour;
        m_quietSince = tick;
        if (InRandomMode(m_core.mascot)) {
            ++m_switches;
            if (tick > m_wrapTick) m_switchedAfterWrap = true;
        }
        return;
    }
    if (InRandomMode(m_core.mascot) && tick - m_quietSince > kSwitchBound) {
        Fault(tick, reading, "a random mode has kept one behaviour too long");
        m_quietSince = tick;
    }
}

int CSoak::Run() {
    StartFreshCore(m_core, static_cast<unsigned>(m_options.seed));
    std::uint32_t reading = m_firstReading;
    std::uint64_t allocationsBefore = AllocationCount();
    for (std::uint64_t tick = 0; tick < m_ticks; ++tick, reading += kTickMs) {
        CSoakSchedule::Input input = m_schedule.Next(tick);
        if (input.command) {
            ++m_commands;
            // The schedule's values are whole wParams; a window procedure passes the low word.
            unsigned id = static_cast<unsigned>(input.commandId & 0xFFFFu);
            if (RunCommand(m_core.mascot, m_core.tick, id) == CommandResult::Exit) {
                FinishCommand(m_core.mascot);
            }
            m_quietSince = tick;
        }
        if (input.click) {
            ++m_clicks;
            DuckOnClick(m_core.mascot, m_core.tick);
        }
        TickPlacement placement = RunTick(m_core.mascot, m_core.store, m_core.tick, input.cursorX,
                                          input.cursorY, reading);
        CheckTick(tick, reading, placement);
        TrackSwitching(tick, reading);
        if (static_cast<std::uint64_t>(tick + 1) % static_cast<std::uint64_t>(kTicksPerDay) == 0) {
            std::fprintf(stderr, "day %llu done\n",
                         static_cast<unsigned long long>((tick + 1) / kTicksPerDay));
        }
    }
    std::uint64_t allocations = AllocationCount() - allocationsBefore;
    if (allocations != 0) {
        std::fprintf(stderr, "FAULT: %llu heap allocations during the tick loop\n",
                     static_cast<unsigned long long>(allocations));
        ++m_faults;
    }
    if (m_wrapTick < m_ticks && !m_switchedAfterWrap) {
        std::fprintf(stderr,
                     "FAULT: no random mode switched behaviour after the reading wrapped\n");
        ++m_faults;
    }
    std::printf(
        "%llu ticks (%.2f days) from reading %u, wrap at tick %llu; %llu commands, "
        "%llu clicks, %llu behaviour switches; %d faults\n",
        static_cast<unsigned long long>(m_ticks), m_ticks / kTicksPerDay, m_firstReading,
        static_cast<unsigned long long>(m_wrapTick), static_cast<unsigned long long>(m_commands),
        static_cast<unsigned long long>(m_clicks), static_cast<unsigned long long>(m_switches),
        m_faults);
    return m_faults == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    COptions options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs("usage: mascot-soak [--days D] [--seed S]   (0 < D <= 49)\n", stderr);
        return 2;
    }
    if (!AllocationCounterWorks()) {
        std::fputs("mascot-soak: cannot count heap allocations on this platform\n", stderr);
        return 2;
    }
    auto ticks = static_cast<std::uint64_t>(options.days * kTicksPerDay);
    // Start half the run's length below 2^32, so that the reading wraps in the middle.
    std::uint64_t halfMs = ticks * kTickMs / 2;
    auto firstReading = static_cast<std::uint32_t>(0x100000000ULL - halfMs);
    static CCoreState core;
    static CSoak soak(core, options, ticks, firstReading);
    return soak.Run();
}
