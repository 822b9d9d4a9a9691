// The pointer's seam: the tick reads the newest position from one source, the X server's query
// or a position pushed by the compositor on Qt's thread; and which source a session offers.
#pragma once

#include <xcb/xcb.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

// ---- The mailbox --------------------------------------------------------------------------------
// One word that Qt's thread overwrites with each pushed position and the tick thread reads: no
// lock, no allocation, and the tick always sees the newest position, never a queue of old ones.

class CPointerMailbox {
public:
    // Qt's thread: the newest position from a live source (clamped to X's 16-bit coordinates).
    void Post(int x, int y);
    // Qt's thread: the source went away; the tick asks the X server again from its next read.
    void Withdraw();
    // The tick thread: true with the newest position while a source is live.
    bool Read(int& x, int& y) const;
    bool Live() const;
    // The tick thread: whether it reads the pointer at all (only while a mode runs). Qt's thread:
    // a source that has to ask for each position asks nothing while it is not wanted.
    void SetWanted(bool wanted);
    bool Wanted() const;

private:
    // Bit 32: live; bits 0-15: x, bits 16-31: y, each as a 16-bit two's complement value.
    static constexpr std::uint64_t kLive = std::uint64_t{1} << 32;
    std::atomic<std::uint64_t> m_word{0};
    std::atomic<bool> m_wanted{true};
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free,
                  "the tick thread must never wait for Qt's thread");
};

// The tick's read: the mailbox's position while a source is live, otherwise the X server's
// pointer (a round trip, which also reads the events that came before its reply; kept as it was
// when the pointer is on another screen). True when it made that round trip.
bool ReadNewestPointer(const CPointerMailbox& pushed, xcb_connection_t* connection,
                       xcb_window_t root, int& x, int& y);

// ---- The session's source -----------------------------------------------------------------------
// On an X11 session the X server sees the pointer everywhere. Under a Wayland compositor its
// Xwayland sees it only over X windows, so a source inside the compositor is taken where the
// compositor offers one.

enum class PointerSource {
    XServer,       // an X11 session: the X server knows the pointer everywhere
    KWin,          // KDE Plasma on Wayland: a KWin script pushes it
    Hyprland,      // Hyprland: its IPC socket is asked at the tick's rate
    GnomeShell,    // GNOME on Wayland: the program's GNOME Shell extension pushes it
    XwaylandOnly,  // another Wayland compositor: the pointer is seen over X windows only
};

struct CSessionFacts {
    const char* waylandDisplay;  // $WAYLAND_DISPLAY, or null
    const char* sessionType;     // $XDG_SESSION_TYPE, or null
    bool kwinOnBus;              // org.kde.KWin is on the session bus
    bool hyprlandInstance;       // $HYPRLAND_INSTANCE_SIGNATURE is set
    bool gnomeShellOnBus;        // org.gnome.Shell is on the session bus
};

PointerSource ChoosePointerSource(const CSessionFacts& session);

// What a Wayland session with no source beyond Xwayland costs, and what to do: said once.
extern const char kXwaylandOnlyNotice[];

// Qt's thread: starts the session's pushed source, if any, posting into `mailbox`; null on X11
// sessions and where none is offered (having said so). Destroying it takes the source away from
// the compositor again. A source that also carries a menu (GNOME's top bar) hands its command
// ids to `command`.
std::unique_ptr<class CPushedPointer> StartPushedPointer(
    CPointerMailbox& mailbox, std::function<void(std::uint16_t)> command);

class CPushedPointer {
public:
    virtual ~CPushedPointer() = default;
    // The source also shows the program's menu in the desktop's own bar.
    virtual bool ShowsMenu() const { return false; }
};
