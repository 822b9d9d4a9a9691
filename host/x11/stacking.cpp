// The stacking model of the root's children and the decision made over it.
#include "host/x11/stacking.h"

#include <algorithm>

std::vector<CStackModel::CEntry>::iterator CStackModel::Find(std::uint32_t window) {
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [window](const CEntry& entry) { return entry.window == window; });
}

void CStackModel::Add(std::uint32_t window, bool overrideRedirect, bool viewable) {
    Remove(window);
    m_entries.push_back({window, overrideRedirect, viewable});
}

void CStackModel::Remove(std::uint32_t window) {
    auto found = Find(window);
    if (found != m_entries.end()) m_entries.erase(found);
}

void CStackModel::PlaceAbove(std::uint32_t window, std::uint32_t sibling) {
    auto found = Find(window);
    if (found == m_entries.end()) return;
    CEntry entry = *found;
    m_entries.erase(found);
    auto below = Find(sibling);
    m_entries.insert(below == m_entries.end() ? m_entries.begin() : below + 1, entry);
}

void CStackModel::PlaceOnTop(std::uint32_t window) {
    auto found = Find(window);
    if (found == m_entries.end()) return;
    CEntry entry = *found;
    m_entries.erase(found);
    m_entries.push_back(entry);
}

void CStackModel::Map(std::uint32_t window, bool overrideRedirect) {
    auto found = Find(window);
    if (found == m_entries.end()) return;
    found->viewable = true;
    found->overrideRedirect = overrideRedirect;
}

void CStackModel::Unmap(std::uint32_t window) {
    auto found = Find(window);
    if (found != m_entries.end()) found->viewable = false;
}

namespace {

using CEntries = std::vector<CStackModel::CEntry>;

bool IsOrdinary(const CStackModel::CEntry& entry) {
    return entry.viewable && !entry.overrideRedirect;
}

// The highest viewable ordinary window above `self`, or 0 when there is none.
std::uint32_t HighestOrdinaryAbove(const CEntries& entries, CEntries::const_iterator self) {
    std::uint32_t highest = 0;
    for (auto it = self + 1; it != entries.end(); ++it) {
        if (IsOrdinary(*it)) highest = it->window;
    }
    return highest;
}

// True when every viewable ordinary window below `self` is `desktop` (or there is none).
bool OnlyDesktopBelow(const CEntries& entries, CEntries::const_iterator self,
                      std::uint32_t desktop) {
    return std::none_of(entries.begin(), self, [desktop](const CStackModel::CEntry& entry) {
        return IsOrdinary(entry) && entry.window != desktop;
    });
}

}  // namespace

CStackRequest DecideStacking(const CStackModel& stack, std::uint32_t self, bool topmost,
                             std::uint32_t desktopTopLevel) {
    const CEntries& entries = stack.Entries();
    auto me =
        std::find_if(entries.begin(), entries.end(),
                     [self](const CStackModel::CEntry& entry) { return entry.window == self; });
    if (me == entries.end()) return {StackMode::Keep, 0};
    if (topmost) {
        std::uint32_t cover = HighestOrdinaryAbove(entries, me);
        return cover == 0 ? CStackRequest{StackMode::Keep, 0}
                          : CStackRequest{StackMode::AboveSibling, cover};
    }
    auto desktop = std::find_if(entries.begin(), entries.end(),
                                [desktopTopLevel](const CStackModel::CEntry& entry) {
                                    return entry.window == desktopTopLevel;
                                });
    bool desktopBelow = desktop == entries.end() || desktop < me;
    if (desktopBelow && OnlyDesktopBelow(entries, me, desktopTopLevel)) return {StackMode::Keep, 0};
    if (desktop == entries.end()) return {StackMode::Bottom, 0};
    return {StackMode::AboveSibling, desktopTopLevel};
}
