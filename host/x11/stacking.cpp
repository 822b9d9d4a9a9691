// The stacking decision of each tick and the schedule of the desktop window lookup.
#include "host/x11/stacking.h"

CStackRequest DecideStacking(bool topmost, bool menuOpen, std::uint32_t desktopTopLevel) {
    if (topmost) return {menuOpen ? StackMode::Keep : StackMode::Top, 0};
    if (desktopTopLevel != 0) return {StackMode::AboveSibling, desktopTopLevel};
    return {StackMode::Bottom, 0};
}

bool CDesktopLookupSchedule::Due(bool behind) {
    if (!behind) {
        m_known = false;
        return false;
    }
    if (m_known && ++m_ticksSinceLookup < kLookupTicks) return false;
    m_known = true;
    m_ticksSinceLookup = 0;
    return true;
}
