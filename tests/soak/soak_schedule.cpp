// The soak's schedule: every command id in turn (modes, fixed behaviours, z-order, exit and ids
// nobody knows), a cursor that sweeps the screen and now and then jumps far off it, and clicks.
#include "tests/soak/soak_schedule.h"

#include <climits>
#include <cmath>

#include "tick/command_ids.h"

namespace {

// Every command the window procedure can receive, and some it does not know; one id carries
// high bits that the command table must ignore.
constexpr unsigned long long kCommands[] = {
    32771,
    32772,
    32773,
    32774,
    32775,
    32776,
    32777,
    32778,
    32779,
    32780,
    32781,
    32782,
    32783,
    32784,
    32785,
    32786,
    IDM_RANDOM2,
    IDM_RANDOM4,
    IDM_RANDOM8,
    IDM_RANDOM16,
    IDM_RANDOM32,
    IDM_RANDOM64,
    IDM_DUCK,
    IDM_ALWAYS_BEHIND,
    IDM_ALWAYS_IN_FRONT,
    IDM_EXIT,
    0,
    1,
    32770,
    32787,
    40000,
    65535,
    (1ULL << 40) | IDM_RANDOM32,
};
constexpr unsigned kCommandCount = sizeof(kCommands) / sizeof(kCommands[0]);
constexpr unsigned long long kRandomModes[] = {IDM_RANDOM2,  IDM_RANDOM4,  IDM_RANDOM8,
                                               IDM_RANDOM16, IDM_RANDOM32, IDM_RANDOM64};

constexpr std::uint64_t kShortestStint = 1000;  // ticks between commands: 10 s
constexpr std::uint64_t kLongestStint = 40000;  // 400 s
constexpr std::uint64_t kExcursionChance = 20000;
constexpr std::uint64_t kClickChance = 3000;

// Cursor coordinates far off the screen and at the ends of the int range.
constexpr int kFarOff[] = {INT_MIN, INT_MAX, -1000000, 1000000, -20, 0, 5000, -5000};

}  // namespace

CSoakSchedule::CSoakSchedule(std::uint64_t seed, std::uint64_t wrapTick)
    : m_state(seed), m_wrapTick(wrapTick < kWrapLead ? kWrapLead : wrapTick) {
    static_assert(kCommandCount <= sizeof(m_commandOrder) / sizeof(m_commandOrder[0]));
    for (unsigned i = 0; i < kCommandCount; ++i) m_commandOrder[i] = i;
    m_commandSlot = kCommandCount;
}

// splitmix64
std::uint64_t CSoakSchedule::Draw() {
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// Walks through a fresh shuffle of all commands, so every id comes round again and again.
unsigned long long CSoakSchedule::NextCommand() {
    if (m_commandSlot == kCommandCount) {
        for (unsigned i = kCommandCount - 1; i > 0; --i) {
            unsigned j = static_cast<unsigned>(DrawBelow(i + 1));
            unsigned swap = m_commandOrder[i];
            m_commandOrder[i] = m_commandOrder[j];
            m_commandOrder[j] = swap;
        }
        m_commandSlot = 0;
    }
    return kCommands[m_commandOrder[m_commandSlot++]];
}

void CSoakSchedule::MoveCursor(std::uint64_t tick, Input& input) {
    if (tick < m_excursionEnd) {
        input.cursorX = m_excursionX;
        input.cursorY = m_excursionY;
        return;
    }
    if (DrawBelow(kExcursionChance) == 0) {
        m_excursionEnd = tick + 300 + DrawBelow(3000);
        m_excursionX = kFarOff[DrawBelow(8)];
        m_excursionY = kFarOff[DrawBelow(8)];
    }
    // A slow sweep a little beyond every edge of the screen box.
    double t = static_cast<double>(tick);
    input.cursorX = 520 + static_cast<int>(600.0 * std::sin(t * 0.00071));
    input.cursorY = 360 + static_cast<int>(420.0 * std::sin(t * 0.00113 + 1.0));
}

CSoakSchedule::Input CSoakSchedule::Next(std::uint64_t tick) {
    Input input = {0, 0, false, 0, false};
    MoveCursor(tick, input);
    input.click = DrawBelow(kClickChance) == 0;
    if (tick == m_wrapTick - kWrapLead) {
        input.command = true;
        input.commandId = kRandomModes[DrawBelow(6)];
        m_nextCommandTick = m_wrapTick + kWrapHold;
        return input;
    }
    if (tick < m_nextCommandTick) return input;
    input.command = true;
    input.commandId = NextCommand();
    m_nextCommandTick = tick + kShortestStint + DrawBelow(kLongestStint - kShortestStint);
    // A stint must not swallow the forced random mode around the wrap.
    if (tick < m_wrapTick - kWrapLead && m_nextCommandTick > m_wrapTick - kWrapLead) {
        m_nextCommandTick = m_wrapTick - kWrapLead;
    }
    return input;
}
