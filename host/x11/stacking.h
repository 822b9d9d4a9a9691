// Where the mascot window goes in the stacking order on a tick, decided apart from any X call.
#pragma once

#include <cstdint>

enum class StackMode {
    Keep,          // leave the stacking order alone
    Top,           // above every other child of the root
    AboveSibling,  // just above `sibling`: the desktop's window, lowest of the ordinary ones
    Bottom,        // below every other child of the root
};

struct CStackRequest {
    StackMode mode;
    std::uint32_t sibling;  // for AboveSibling; 0 otherwise
};

// In front the window is raised on every tick, since nothing else keeps it there without a
// window manager, except while the program's own menu is open: raising would cover the menu.
// Behind, it sits just above the desktop's own window (0: there is none), so that only
// ordinary windows hide it, never the wallpaper.
CStackRequest DecideStacking(bool topmost, bool menuOpen, std::uint32_t desktopTopLevel);

// When to look for the desktop's window again: on the first tick behind, then every
// kLookupTicks ticks while behind (a desktop may start or end meanwhile), and at once after
// the window system refused a request that named it.
class CDesktopLookupSchedule {
public:
    static constexpr int kLookupTicks = 100;

    bool Due(bool behind);
    void Forget() { m_known = false; }

private:
    bool m_known = false;
    int m_ticksSinceLookup = 0;
};
