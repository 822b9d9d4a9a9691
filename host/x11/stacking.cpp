// The stacking: the model of the root's children, the decision made over it, and the desktop as
// the tick reads it.
#include "host/x11/stacking.h"

#include <algorithm>
#include <cstdlib>

// ---- The stacking order -------------------------------------------------------------------------

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

// ---- The desktop --------------------------------------------------------------------------------
// Whether a window manager runs (its check window), the root's children as they stand, and the
// desktop's own window, which the mascot stays above when it is behind every ordinary window:
// candidates, their types and map states in one round of requests, then up the tree to the root's
// child.

namespace {

constexpr std::uint32_t kMaxListLength = 4096;  // 32-bit items read from a window list

std::vector<xcb_window_t> ClientList(const CXDisplay& display) {
    xcb_connection_t* c = display.Connection();
    xcb_get_property_reply_t* reply =
        ReplyOrNull(xcb_get_property_reply, c,
                    xcb_get_property(c, 0, display.Root(), display.Atoms().netClientList,
                                     XCB_ATOM_WINDOW, 0, kMaxListLength));
    std::vector<xcb_window_t> windows;
    if (reply && reply->format == 32) {
        auto* items = static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
        windows.assign(items, items + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return windows;
}

std::vector<xcb_window_t> RootChildren(const CXDisplay& display) {
    xcb_connection_t* c = display.Connection();
    xcb_query_tree_reply_t* reply =
        ReplyOrNull(xcb_query_tree_reply, c, xcb_query_tree(c, display.Root()));
    std::vector<xcb_window_t> windows;
    if (reply) {
        xcb_window_t* children = xcb_query_tree_children(reply);
        windows.assign(children, children + xcb_query_tree_children_length(reply));
    }
    std::free(reply);
    return windows;
}

// The window that `window`'s _NET_SUPPORTING_WM_CHECK names, or XCB_NONE.
xcb_window_t CheckWindowOf(const CXDisplay& display, xcb_window_t window) {
    xcb_connection_t* c = display.Connection();
    xcb_get_property_reply_t* reply =
        ReplyOrNull(xcb_get_property_reply, c,
                    xcb_get_property(c, 0, window, display.Atoms().netSupportingWmCheck,
                                     XCB_ATOM_WINDOW, 0, 1));
    xcb_window_t named = XCB_NONE;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 4) {
        named = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
    }
    std::free(reply);
    return named;
}

bool HasType(xcb_get_property_reply_t* reply, xcb_atom_t type) {
    if (!reply || reply->format != 32) return false;
    auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    int count = xcb_get_property_value_length(reply) / 4;
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == type) return true;
    }
    return false;
}

// The first viewable candidate of the desktop type; the requests all go out before the first
// answer is read.
xcb_window_t FirstViewableDesktop(const CXDisplay& display,
                                  const std::vector<xcb_window_t>& candidates) {
    xcb_connection_t* c = display.Connection();
    const CAtoms& atoms = display.Atoms();
    std::vector<xcb_get_property_cookie_t> types;
    std::vector<xcb_get_window_attributes_cookie_t> states;
    for (xcb_window_t window : candidates) {
        types.push_back(
            xcb_get_property(c, 0, window, atoms.netWmWindowType, XCB_ATOM_ATOM, 0, 32));
        states.push_back(xcb_get_window_attributes(c, window));
    }
    xcb_window_t found = XCB_NONE;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        xcb_get_property_reply_t* type = ReplyOrNull(xcb_get_property_reply, c, types[i]);
        xcb_get_window_attributes_reply_t* state =
            ReplyOrNull(xcb_get_window_attributes_reply, c, states[i]);
        if (found == XCB_NONE && HasType(type, atoms.netWmWindowTypeDesktop) && state &&
            state->map_state == XCB_MAP_STATE_VIEWABLE) {
            found = candidates[i];
        }
        std::free(type);
        std::free(state);
    }
    return found;
}

xcb_window_t TopLevelOf(const CXDisplay& display, xcb_window_t window) {
    xcb_connection_t* c = display.Connection();
    while (window != XCB_NONE) {
        xcb_query_tree_reply_t* reply =
            ReplyOrNull(xcb_query_tree_reply, c, xcb_query_tree(c, window));
        xcb_window_t parent = reply ? reply->parent : XCB_NONE;
        std::free(reply);
        if (parent == display.Root()) return window;
        window = parent;
    }
    return XCB_NONE;
}

}  // namespace

bool WindowManagerRuns(const CXDisplay& display) {
    xcb_window_t check = CheckWindowOf(display, display.Root());
    return check != XCB_NONE && CheckWindowOf(display, check) == check;
}

std::vector<CStackModel::CEntry> ReadRootStack(const CXDisplay& display) {
    xcb_connection_t* c = display.Connection();
    std::vector<xcb_window_t> children = RootChildren(display);
    std::vector<xcb_get_window_attributes_cookie_t> cookies;
    cookies.reserve(children.size());
    for (xcb_window_t window : children) cookies.push_back(xcb_get_window_attributes(c, window));
    std::vector<CStackModel::CEntry> entries;
    for (std::size_t i = 0; i < children.size(); ++i) {
        xcb_get_window_attributes_reply_t* state =
            ReplyOrNull(xcb_get_window_attributes_reply, c, cookies[i]);
        if (state) {
            entries.push_back({children[i], state->override_redirect != 0,
                               state->map_state == XCB_MAP_STATE_VIEWABLE});
        }
        std::free(state);
    }
    return entries;
}

// Looks among the window manager's client list where there is one, otherwise among the root's
// children.
xcb_window_t FindDesktopTopLevel(const CXDisplay& display) {
    std::vector<xcb_window_t> candidates = ClientList(display);
    if (candidates.empty()) candidates = RootChildren(display);
    xcb_window_t desktop = FirstViewableDesktop(display, candidates);
    return desktop == XCB_NONE ? XCB_NONE : TopLevelOf(display, desktop);
}
