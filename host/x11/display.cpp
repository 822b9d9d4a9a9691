// The mascot's connection to the X server: opening it, finding the screen, interning the atoms in
// one round of requests, sending client messages, and the end when the connection is lost.
#include "host/x11/display.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "host/x11/options.h"

// ---- The display and its atoms ------------------------------------------------------------------

namespace {

xcb_screen_t* ScreenNumber(xcb_connection_t* connection, int number) {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (; it.rem; --number, xcb_screen_next(&it)) {
        if (number == 0) return it.data;
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<CXDisplay> CXDisplay::Open() {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    xcb_screen_t* screen = ScreenNumber(connection, screenNumber);
    if (!screen) {
        xcb_disconnect(connection);
        return nullptr;
    }
    std::unique_ptr<CXDisplay> display(new CXDisplay(connection, screen));
    display->InternAtoms();
    return display;
}

CXDisplay::CXDisplay(xcb_connection_t* connection, xcb_screen_t* screen)
    : m_connection(connection), m_screen(screen) {}

CXDisplay::~CXDisplay() { xcb_disconnect(m_connection); }

void CXDisplay::InternAtoms() {
    struct CNamed {
        const char* name;
        xcb_atom_t* atom;
    };
    const CNamed named[] = {
        {"_NET_WM_PID", &m_atoms.netWmPid},
        {"_NET_WM_NAME", &m_atoms.netWmName},
        {"UTF8_STRING", &m_atoms.utf8String},
        {"_NET_WM_WINDOW_TYPE", &m_atoms.netWmWindowType},
        {"_NET_WM_WINDOW_TYPE_DESKTOP", &m_atoms.netWmWindowTypeDesktop},
        {"_NET_CLIENT_LIST", &m_atoms.netClientList},
        {"_NET_SUPPORTING_WM_CHECK", &m_atoms.netSupportingWmCheck},
        {"_NET_WM_STATE", &m_atoms.netWmState},
        {"_NET_WM_STATE_ABOVE", &m_atoms.netWmStateAbove},
        {"_NET_WM_STATE_BELOW", &m_atoms.netWmStateBelow},
        {"_NET_WM_STATE_SKIP_TASKBAR", &m_atoms.netWmStateSkipTaskbar},
        {"_NET_WM_STATE_SKIP_PAGER", &m_atoms.netWmStateSkipPager},
        {"_NET_WM_WINDOW_TYPE_UTILITY", &m_atoms.netWmWindowTypeUtility},
        {"_MOTIF_WM_HINTS", &m_atoms.motifWmHints},
        {MASCOT_SELECTION_ATOM, &m_atoms.mascotSelection},
        {MASCOT_COMMAND_ATOM, &m_atoms.command},
        {MASCOT_COMMAND_DONE_ATOM, &m_atoms.commandDone},
    };
    constexpr int kCount = sizeof named / sizeof named[0];
    xcb_intern_atom_cookie_t cookies[kCount];
    for (int i = 0; i < kCount; ++i) {
        cookies[i] = xcb_intern_atom(m_connection, 0, std::strlen(named[i].name), named[i].name);
    }
    for (int i = 0; i < kCount; ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(m_connection, cookies[i], nullptr);
        *named[i].atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        std::free(reply);
    }
}

// Both threads notice a lost server, each on its own connection: the first says it and ends the
// process, the second waits for that end.
void EndOnLostDisplay() {
    static std::atomic_flag ending = ATOMIC_FLAG_INIT;
    if (ending.test_and_set()) {
        for (;;) pause();
    }
    std::fputs("mascot: the connection to the X display was lost\n", stderr);
    std::fflush(stderr);
    std::_Exit(kExitFailure);
}

// ---- Events and replies -------------------------------------------------------------------------

void SendClientMessage(const CXDisplay& display, xcb_window_t destination, std::uint32_t eventMask,
                       xcb_window_t window, xcb_atom_t type,
                       const std::uint32_t (&data)[kClientMessageWords]) {
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::memcpy(event.data.data32, data, sizeof data);
    // xcb sends 32 bytes of event whatever the type's size.
    char wire[32] = {};
    std::memcpy(wire, &event, sizeof event < sizeof wire ? sizeof event : sizeof wire);
    xcb_send_event(display.Connection(), 0, destination, eventMask, wire);
}
