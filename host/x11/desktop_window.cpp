// Reading the desktop: the window manager's check window, the root's children, and the lookup
// of the desktop window (candidates, their types and map states in one round of requests, then
// up the tree to the root's child).
#include "host/x11/desktop_window.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::uint32_t kMaxListLength = 4096;  // 32-bit items read from a window list

// Errors are taken with the reply: a window that has gone meanwhile is no fault of the mascot's,
// and must not reach its event queue, where an error means a refused request of its own.
template <typename Reply, typename Cookie>
Reply* ReplyOrNull(Reply* (*get)(xcb_connection_t*, Cookie, xcb_generic_error_t**),
                   xcb_connection_t* c, Cookie cookie) {
    xcb_generic_error_t* error = nullptr;
    Reply* reply = get(c, cookie, &error);
    std::free(error);
    return reply;
}

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

xcb_window_t FindDesktopTopLevel(const CXDisplay& display) {
    std::vector<xcb_window_t> candidates = ClientList(display);
    if (candidates.empty()) candidates = RootChildren(display);
    xcb_window_t desktop = FirstViewableDesktop(display, candidates);
    return desktop == XCB_NONE ? XCB_NONE : TopLevelOf(display, desktop);
}
