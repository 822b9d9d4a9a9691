// The stacking: the order of the root's children as their events tell it, where the mascot goes
// in it when no window manager keeps it in its layer, and what the desktop tells of itself.
#pragma once

#include <cstdint>
#include <vector>

#include "host/x11/display.h"

// ---- The stacking order -------------------------------------------------------------------------
// Where the mascot window goes in the stacking order when no window manager keeps it there,
// decided apart from any X call from what the mascot's connection heard of the root's children.

enum class StackMode {
    Keep,          // leave the stacking order alone
    AboveSibling,  // just above `sibling`
    Bottom,        // below every other child of the root
};

struct CStackRequest {
    StackMode mode;
    std::uint32_t sibling;  // for AboveSibling; 0 otherwise
};

// The root's children, lowest first, as the events of the root's substructure tell them.
class CStackModel {
public:
    struct CEntry {
        std::uint32_t window;
        bool overrideRedirect;  // a popup, tooltip or screen locker: never covered by the mascot
        bool viewable;
    };

    void Reset(std::vector<CEntry> entries) { m_entries = std::move(entries); }
    void Clear() { m_entries.clear(); }
    // New children are created, and reparented ones arrive, on top of the stack.
    void Add(std::uint32_t window, bool overrideRedirect, bool viewable);
    void Remove(std::uint32_t window);
    // Just above `sibling`; at the bottom when `sibling` is 0 or unknown.
    void PlaceAbove(std::uint32_t window, std::uint32_t sibling);
    void PlaceOnTop(std::uint32_t window);
    void Map(std::uint32_t window, bool overrideRedirect);
    void Unmap(std::uint32_t window);

    const std::vector<CEntry>& Entries() const { return m_entries; }

private:
    std::vector<CEntry>::iterator Find(std::uint32_t window);

    std::vector<CEntry> m_entries;
};

// In front the window stays above every viewable ordinary window, yet under the
// override-redirect windows above it: its own menu, another program's popups, a screen locker.
// Behind, it sits just above the desktop's own window (0: there is none; then at the bottom),
// below every other ordinary window. Keep when it is where it belongs already.
CStackRequest DecideStacking(const CStackModel& stack, std::uint32_t self, bool topmost,
                             std::uint32_t desktopTopLevel);

// ---- The desktop --------------------------------------------------------------------------------
// Read from the server when the tick needs it: each a round of requests.

// True when an EWMH window manager runs: the root names a check window that names itself.
bool WindowManagerRuns(const CXDisplay& display);

// The root's children, lowest first, with their override-redirect flags and map states.
std::vector<CStackModel::CEntry> ReadRootStack(const CXDisplay& display);

// The child of the root that holds the viewable desktop window (type _NET_WM_WINDOW_TYPE_DESKTOP:
// the window itself, or the frame a window manager put around it), or XCB_NONE.
xcb_window_t FindDesktopTopLevel(const CXDisplay& display);
