// The mascot's own connection to the X server, with the atoms the host uses.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <memory>

// The bit of an event's type that marks it as sent by a client (SendEvent), not by the server.
constexpr std::uint8_t kSentEventFlag = 0x80;

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
