// What the soak does to the core on each tick: where the cursor is, which command comes, when
// the user clicks. Drawn from its own generator, so the core's rand() sequence stays its own.
#pragma once

#include <cstdint>

class CSoakSchedule {
public:
    CSoakSchedule(std::uint64_t seed, std::uint64_t wrapTick);

    struct Input {
        int cursorX;
        int cursorY;
        bool command;  // give `commandId` before this tick
        unsigned long long commandId;
        bool click;  // a left click before this tick
    };
    Input Next(std::uint64_t tick);

    // A random mode is chosen shortly before the millisecond reading wraps and held past it.
    static constexpr std::uint64_t kWrapLead = 20000;
    static constexpr std::uint64_t kWrapHold = 40000;

private:
    std::uint64_t Draw();
    std::uint64_t DrawBelow(std::uint64_t bound) { return Draw() % bound; }
    unsigned long long NextCommand();
    void MoveCursor(std::uint64_t tick, Input& input);

    std::uint64_t m_state;
    std::uint64_t m_wrapTick;
    std::uint64_t m_nextCommandTick = 0;
    std::uint64_t m_excursionEnd = 0;
    int m_excursionX = 0;
    int m_excursionY = 0;
    unsigned m_commandSlot = 0;
    unsigned m_commandOrder[64] = {};
};
