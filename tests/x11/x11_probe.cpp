// x11-probe: what the end-to-end test needs from X that xdotool and xwininfo do not give.
//   cover X Y W H SECONDS   an ordinary magenta window over the rectangle; prints its id
//   desktop SECONDS         a full-screen green window of type _NET_WM_WINDOW_TYPE_DESKTOP
//   overlay SECONDS         a full-screen yellow override-redirect window; prints its id
//   top WINDOW              the window's top-level (its frame under a reparenting window
//                           manager): id, X Y W H, and 1 when it is override-redirect
//   owner SELECTION         the window owning the selection (0 for none), e.g. _NET_WM_CM_S0
//   order WINDOW...         the stacking position of each window's top-level (0 = lowest)
//   place WINDOW...         each window's position among the viewable children of the root
//                           that show on the screen (0 = lowest) and their number; -1 for one
//                           that is not among them
//   shape WINDOW            the bounding shape as rows of '#' (inside) and '.' (outside)
//   focus                   the window that has the keyboard focus
//   mapped SECONDS          waits for the next window mapped on the root: its id and the
//                           monotonic clock then, in seconds (for start-up times)
//   changed SECONDS WINDOW X Y W H   waits for the root's child WINDOW to be unmapped or given
//                           another geometry than X Y W H; prints what it saw (status 1: none)
//   moves SECONDS           counts, per child of the root, the moves it makes meanwhile and
//                           its other configures (restacks and resizes, the place unchanged)
//   circle SECONDS          moves the pointer round a circle every 20 ms (for benchmarks)
#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <cmath>
#include <map>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

xcb_connection_t* g_c = nullptr;
xcb_screen_t* g_screen = nullptr;

xcb_atom_t Atom(const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(g_c, xcb_intern_atom(g_c, 0, std::strlen(name), name), nullptr);
    xcb_atom_t atom = reply ? reply->atom : 0;
    std::free(reply);
    return atom;
}

xcb_window_t MakeWindow(int x, int y, int width, int height, std::uint32_t colour) {
    xcb_window_t window = xcb_generate_id(g_c);
    std::uint32_t values[] = {colour};
    xcb_create_window(g_c, XCB_COPY_FROM_PARENT, window, g_screen->root, x, y, width, height, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, g_screen->root_visual, XCB_CW_BACK_PIXEL,
                      values);
    // WM_NORMAL_HINTS with a user-given position and size, so that a window manager keeps them,
    // and that size as the least and the most, so that no click maximizes the window (a double
    // click on mutter's title bar would, over the tray).
    const auto w = static_cast<std::uint32_t>(width), h = static_cast<std::uint32_t>(height);
    std::uint32_t hints[18] = {1 | 2 | 16 | 32,
                               static_cast<std::uint32_t>(x),
                               static_cast<std::uint32_t>(y),
                               w,
                               h,
                               w,
                               h,
                               w,
                               h};
    xcb_change_property(g_c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
    const char name[] = "x11-probe";
    xcb_change_property(g_c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        sizeof name - 1, name);
    return window;
}

void ShowAndHold(xcb_window_t window, int seconds, bool lower) {
    xcb_map_window(g_c, window);
    if (lower) {
        std::uint32_t below = XCB_STACK_MODE_BELOW;
        xcb_configure_window(g_c, window, XCB_CONFIG_WINDOW_STACK_MODE, &below);
    }
    xcb_flush(g_c);
    std::printf("%u\n", window);
    std::fflush(stdout);
    sleep(static_cast<unsigned>(seconds));
}

int Cover(char** args) {
    xcb_window_t window = MakeWindow(std::atoi(args[0]), std::atoi(args[1]), std::atoi(args[2]),
                                     std::atoi(args[3]), 0xFF00FF);
    ShowAndHold(window, std::atoi(args[4]), false);
    return 0;
}

// Without a window manager a new window lands on top: it is lowered at once, as a desktop
// manager keeps its window at the bottom. A window manager does that itself.
int Desktop(char** args) {
    xcb_window_t window =
        MakeWindow(0, 0, g_screen->width_in_pixels, g_screen->height_in_pixels, 0x00A000);
    xcb_atom_t type = Atom("_NET_WM_WINDOW_TYPE_DESKTOP");
    xcb_change_property(g_c, XCB_PROP_MODE_REPLACE, window, Atom("_NET_WM_WINDOW_TYPE"),
                        XCB_ATOM_ATOM, 32, 1, &type);
    ShowAndHold(window, std::atoi(args[0]), true);
    return 0;
}

int Overlay(char** args) {
    xcb_window_t window =
        MakeWindow(0, 0, g_screen->width_in_pixels, g_screen->height_in_pixels, 0xFFFF00);
    std::uint32_t on = 1;
    xcb_change_window_attributes(g_c, window, XCB_CW_OVERRIDE_REDIRECT, &on);
    ShowAndHold(window, std::atoi(args[0]), false);
    return 0;
}

int Owner(char** args) {
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(g_c, xcb_get_selection_owner(g_c, Atom(args[0])), nullptr);
    std::printf("%u\n", reply ? reply->owner : 0);
    std::free(reply);
    return 0;
}

xcb_window_t TopLevel(xcb_window_t window) {
    while (window != XCB_NONE) {
        xcb_query_tree_reply_t* reply =
            xcb_query_tree_reply(g_c, xcb_query_tree(g_c, window), nullptr);
        if (!reply) return XCB_NONE;
        xcb_window_t parent = reply->parent;
        std::free(reply);
        if (parent == g_screen->root) return window;
        window = parent;
    }
    return XCB_NONE;
}

int Order(int count, char** args) {
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(g_c, xcb_query_tree(g_c, g_screen->root), nullptr);
    if (!tree) return 1;
    xcb_window_t* children = xcb_query_tree_children(tree);
    int length = xcb_query_tree_children_length(tree);
    for (int i = 0; i < count; ++i) {
        xcb_window_t top = TopLevel(static_cast<xcb_window_t>(std::strtoul(args[i], nullptr, 0)));
        int position = -1;
        for (int j = 0; j < length; ++j) {
            if (children[j] == top) position = j;
        }
        std::printf("%d\n", position);
    }
    std::free(tree);
    return 0;
}

int Top(char** args) {
    xcb_window_t top = TopLevel(static_cast<xcb_window_t>(std::strtoul(args[0], nullptr, 0)));
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(g_c, xcb_get_geometry(g_c, top), nullptr);
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(g_c, xcb_get_window_attributes(g_c, top), nullptr);
    if (!geometry || !attributes) return 1;
    std::printf("%u %d %d %d %d %d\n", top, geometry->x, geometry->y, geometry->width,
                geometry->height, attributes->override_redirect);
    std::free(geometry);
    std::free(attributes);
    return 0;
}

// Mapped windows that show only: a window manager and toolkits keep unmapped children of the root
// anywhere in the order, and a window manager mapped windows of its own off the screen (openbox,
// mutter) or input-only ones (mutter's guard window below all), and none of them is seen.
std::vector<xcb_window_t> ViewableChildren() {
    std::vector<xcb_window_t> viewable;
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(g_c, xcb_query_tree(g_c, g_screen->root), nullptr);
    if (!tree) return viewable;
    xcb_window_t* children = xcb_query_tree_children(tree);
    int length = xcb_query_tree_children_length(tree);
    std::vector<xcb_get_window_attributes_cookie_t> cookies;
    std::vector<xcb_get_geometry_cookie_t> boxes;
    for (int i = 0; i < length; ++i) {
        cookies.push_back(xcb_get_window_attributes(g_c, children[i]));
        boxes.push_back(xcb_get_geometry(g_c, children[i]));
    }
    for (int i = 0; i < length; ++i) {
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(g_c, cookies[i], nullptr);
        xcb_get_geometry_reply_t* box = xcb_get_geometry_reply(g_c, boxes[i], nullptr);
        if (attributes && box && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
            attributes->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT &&
            box->x + box->width + 2 * box->border_width > 0 &&
            box->y + box->height + 2 * box->border_width > 0 &&
            box->x < g_screen->width_in_pixels && box->y < g_screen->height_in_pixels) {
            viewable.push_back(children[i]);
        }
        std::free(attributes);
        std::free(box);
    }
    std::free(tree);
    return viewable;
}

int Place(int count, char** args) {
    std::vector<xcb_window_t> viewable = ViewableChildren();
    for (int i = 0; i < count; ++i) {
        auto window = static_cast<xcb_window_t>(std::strtoul(args[i], nullptr, 0));
        int position = -1;
        for (std::size_t j = 0; j < viewable.size(); ++j) {
            if (viewable[j] == window) position = static_cast<int>(j);
        }
        std::printf("%d %zu\n", position, viewable.size());
    }
    return 0;
}

int Shape(char** args) {
    xcb_window_t window = static_cast<xcb_window_t>(std::strtoul(args[0], nullptr, 0));
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(g_c, xcb_get_geometry(g_c, window), nullptr);
    xcb_shape_get_rectangles_reply_t* shape = xcb_shape_get_rectangles_reply(
        g_c, xcb_shape_get_rectangles(g_c, window, XCB_SHAPE_SK_BOUNDING), nullptr);
    if (!geometry || !shape) return 1;
    std::vector<std::string> rows(geometry->height, std::string(geometry->width, '.'));
    xcb_rectangle_t* rectangles = xcb_shape_get_rectangles_rectangles(shape);
    int count = xcb_shape_get_rectangles_rectangles_length(shape);
    for (int i = 0; i < count; ++i) {
        const xcb_rectangle_t& r = rectangles[i];
        for (int y = r.y; y < r.y + r.height && y < geometry->height; ++y) {
            for (int x = r.x; x < r.x + r.width && x < geometry->width; ++x) rows[y][x] = '#';
        }
    }
    for (const std::string& row : rows) std::printf("%s\n", row.c_str());
    std::free(geometry);
    std::free(shape);
    return 0;
}

int Focus() {
    xcb_get_input_focus_reply_t* reply =
        xcb_get_input_focus_reply(g_c, xcb_get_input_focus(g_c), nullptr);
    if (!reply) return 1;
    std::printf("%u\n", reply->focus);
    std::free(reply);
    return 0;
}

double Now() {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

void WatchRoot() {
    std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(g_c, g_screen->root, XCB_CW_EVENT_MASK, &mask);
    std::free(xcb_get_input_focus_reply(g_c, xcb_get_input_focus(g_c), nullptr));
    std::printf("watching\n");
    std::fflush(stdout);
}

// Calls `handle` for each event until `seconds` have passed or it returns false.
template <typename Handle>
void ForEachEvent(double seconds, Handle handle) {
    double end = Now() + seconds;
    for (double left = seconds; left > 0; left = end - Now()) {
        pollfd socket = {xcb_get_file_descriptor(g_c), POLLIN, 0};
        poll(&socket, 1, static_cast<int>(left * 1000) + 1);
        while (xcb_generic_event_t* event = xcb_poll_for_event(g_c)) {
            bool more = handle(event);
            std::free(event);
            if (!more) return;
        }
        if (xcb_connection_has_error(g_c)) return;
    }
}

int Mapped(char** args) {
    WatchRoot();
    int result = 1;
    ForEachEvent(std::atof(args[0]), [&result](xcb_generic_event_t* event) {
        if ((event->response_type & 0x7F) != XCB_MAP_NOTIFY) return true;
        auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
        std::printf("%u %.6f\n", map->window, Now());
        result = 0;
        return false;
    });
    return result;
}

int Changed(char** args) {
    WatchRoot();
    auto window = static_cast<xcb_window_t>(std::strtoul(args[1], nullptr, 0));
    int x = std::atoi(args[2]), y = std::atoi(args[3]);
    int width = std::atoi(args[4]), height = std::atoi(args[5]);
    int result = 1;
    ForEachEvent(std::atof(args[0]), [&](xcb_generic_event_t* event) {
        int type = event->response_type & 0x7F;
        auto* unmap = reinterpret_cast<xcb_unmap_notify_event_t*>(event);
        auto* configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
        if (type == XCB_UNMAP_NOTIFY && unmap->window == window) {
            std::printf("unmapped\n");
        } else if (type == XCB_CONFIGURE_NOTIFY && configure->window == window &&
                   (configure->x != x || configure->y != y || configure->width != width ||
                    configure->height != height)) {
            std::printf("%d %d %d %d\n", configure->x, configure->y, configure->width,
                        configure->height);
        } else {
            return true;
        }
        result = 0;
        return false;
    });
    return result;
}

int Moves(char** args) {
    WatchRoot();
    std::map<xcb_window_t, std::pair<int, int>> last;
    std::map<xcb_window_t, std::pair<int, int>> counts;  // moves, other configures
    ForEachEvent(std::atof(args[0]), [&](xcb_generic_event_t* event) {
        if ((event->response_type & 0x7F) != XCB_CONFIGURE_NOTIFY) return true;
        auto* configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
        std::pair<int, int> at = {configure->x, configure->y};
        auto found = last.find(configure->window);
        if (found != last.end()) {
            if (found->second != at)
                ++counts[configure->window].first;
            else
                ++counts[configure->window].second;
        }
        last[configure->window] = at;
        return true;
    });
    for (const auto& [window, count] : counts)
        std::printf("%u %d %d\n", window, count.first, count.second);
    return 0;
}

int Circle(char** args) {
    // Faster than a cat at 16 pixels a tick (1,600 pixels a second): it never catches up.
    constexpr double kRadius = 300.0;
    constexpr double kStepsPerTurn = 50.0;  // a turn a second, 1,885 pixels a second
    double centreX = g_screen->width_in_pixels / 2.0;
    double centreY = g_screen->height_in_pixels / 2.0;
    double end = Now() + std::atof(args[0]);
    for (int step = 0; Now() < end; ++step) {
        double angle = 2 * M_PI * step / kStepsPerTurn;
        xcb_warp_pointer(g_c, XCB_NONE, g_screen->root, 0, 0, 0, 0,
                         static_cast<std::int16_t>(centreX + kRadius * std::cos(angle)),
                         static_cast<std::int16_t>(centreY + kRadius * std::sin(angle)));
        xcb_flush(g_c);
        usleep(20000);
    }
    return 0;
}

int Usage() {
    std::fputs(
        "usage: x11-probe cover X Y W H SECONDS | desktop SECONDS | overlay SECONDS | "
        "top WINDOW | owner SELECTION | order WINDOW... | place WINDOW... | shape WINDOW | "
        "focus | mapped SECONDS | changed SECONDS WINDOW X Y W H | moves SECONDS | "
        "circle SECONDS\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    g_c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(g_c)) {
        std::fputs("x11-probe: no X display\n", stderr);
        return 1;
    }
    g_screen = xcb_setup_roots_iterator(xcb_get_setup(g_c)).data;
    std::string command = argv[1];
    int result = 2;
    if (command == "cover" && argc == 7)
        result = Cover(argv + 2);
    else if (command == "desktop" && argc == 3)
        result = Desktop(argv + 2);
    else if (command == "overlay" && argc == 3)
        result = Overlay(argv + 2);
    else if (command == "top" && argc == 3)
        result = Top(argv + 2);
    else if (command == "owner" && argc == 3)
        result = Owner(argv + 2);
    else if (command == "order" && argc >= 3)
        result = Order(argc - 2, argv + 2);
    else if (command == "place" && argc >= 3)
        result = Place(argc - 2, argv + 2);
    else if (command == "shape" && argc == 3)
        result = Shape(argv + 2);
    else if (command == "focus" && argc == 2)
        result = Focus();
    else if (command == "mapped" && argc == 3)
        result = Mapped(argv + 2);
    else if (command == "changed" && argc == 8)
        result = Changed(argv + 2);
    else if (command == "moves" && argc == 3)
        result = Moves(argv + 2);
    else if (command == "circle" && argc == 3)
        result = Circle(argv + 2);
    else
        result = Usage();
    xcb_disconnect(g_c);
    return result;
}
