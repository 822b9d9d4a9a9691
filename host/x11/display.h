// The mascot's connection to the X server: its atoms, the names of its own protocol's atoms (read
// by the desktop tests too, so: plain #defines), client messages, replies and a lost connection.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

#define MASCOT_SELECTION_ATOM "_ZUNPEL_MASCOT"          /* owned by the running mascot's window */
#define MASCOT_COMMAND_ATOM "_ZUNPEL_COMMAND"           /* client message: a command id */
#define MASCOT_COMMAND_DONE_ATOM "_ZUNPEL_COMMAND_DONE" /* client message: the mascot's answer */

// ---- The display and its atoms ------------------------------------------------------------------
// The mascot's own connection to the X server, with the atoms the host uses.

struct CAtoms {
    xcb_atom_t netWmPid;
    xcb_atom_t netWmName;
    xcb_atom_t utf8String;
    xcb_atom_t netWmWindowType;
    xcb_atom_t netWmWindowTypeDesktop;
    xcb_atom_t netClientList;
    xcb_atom_t netSupportingWmCheck;
    xcb_atom_t netWmState;
    xcb_atom_t netWmStateAbove;
    xcb_atom_t netWmStateBelow;
    xcb_atom_t netWmStateSkipTaskbar;
    xcb_atom_t netWmStateSkipPager;
    xcb_atom_t netWmWindowTypeUtility;
    xcb_atom_t motifWmHints;
    xcb_atom_t mascotSelection;  // owned by the running mascot's window
    xcb_atom_t command;          // client message: a command id for the mascot
    xcb_atom_t commandDone;      // client message: the mascot's answer to the sender
};

class CXDisplay {
public:
    // Connects to $DISPLAY; null when there is no display to connect to.
    static std::unique_ptr<CXDisplay> Open();
    ~CXDisplay();
    CXDisplay(const CXDisplay&) = delete;
    CXDisplay& operator=(const CXDisplay&) = delete;

    xcb_connection_t* Connection() const { return m_connection; }
    xcb_screen_t* Screen() const { return m_screen; }
    xcb_window_t Root() const { return m_screen->root; }
    const CAtoms& Atoms() const { return m_atoms; }
    bool Broken() const { return xcb_connection_has_error(m_connection) != 0; }

private:
    CXDisplay(xcb_connection_t* connection, xcb_screen_t* screen);
    void InternAtoms();

    xcb_connection_t* m_connection;
    xcb_screen_t* m_screen;
    CAtoms m_atoms = {};
};

// Ends the process at once, with one line, when the X connection is gone: nothing that needs
// the display can be cleaned up any more. Either thread may call it, on its own connection.
[[noreturn]] void EndOnLostDisplay();

// ---- Events and replies -------------------------------------------------------------------------

// The bit of an event's type that marks it as sent by a client (SendEvent), not by the server.
constexpr std::uint8_t kSentEventFlag = 0x80;

// The words of a 32-bit client message's data.
constexpr int kClientMessageWords = 5;

// Sends a 32-bit client message about `window` of `type` to `destination`, to the clients that
// selected `eventMask` there (none: to the window's owner).
void SendClientMessage(const CXDisplay& display, xcb_window_t destination, std::uint32_t eventMask,
                       xcb_window_t window, xcb_atom_t type,
                       const std::uint32_t (&data)[kClientMessageWords]);

// The reply, or null; an error is taken with it: a window that has gone meanwhile is no fault of
// the mascot's, and must not reach its event queue, where an error means a refused request of
// its own.
template <typename Reply, typename Cookie>
Reply* ReplyOrNull(Reply* (*get)(xcb_connection_t*, Cookie, xcb_generic_error_t**),
                   xcb_connection_t* c, Cookie cookie) {
    xcb_generic_error_t* error = nullptr;
    Reply* reply = get(c, cookie, &error);
    std::free(error);
    return reply;
}
