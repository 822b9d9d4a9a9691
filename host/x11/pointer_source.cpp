// The pointer's seam: the mailbox between Qt's thread and the tick, the tick's read, and the
// choice of the session's source.
#include "host/x11/pointer_source.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/x11/gnome_pointer.h"
#include "host/x11/hyprland_pointer.h"
#include "host/x11/kwin_pointer.h"

// ---- The mailbox --------------------------------------------------------------------------------

namespace {

std::uint64_t Pack16(int value) {
    return static_cast<std::uint16_t>(std::clamp(value, INT16_MIN, INT16_MAX));
}

}  // namespace

void CPointerMailbox::Post(int x, int y) {
    m_word.store(kLive | Pack16(y) << 16 | Pack16(x), std::memory_order_relaxed);
}

void CPointerMailbox::Withdraw() { m_word.store(0, std::memory_order_relaxed); }

bool CPointerMailbox::Read(int& x, int& y) const {
    std::uint64_t word = m_word.load(std::memory_order_relaxed);
    if (!(word & kLive)) return false;
    x = static_cast<std::int16_t>(word & 0xffff);
    y = static_cast<std::int16_t>(word >> 16 & 0xffff);
    return true;
}

bool CPointerMailbox::Live() const { return m_word.load(std::memory_order_relaxed) & kLive; }

void CPointerMailbox::SetWanted(bool wanted) { m_wanted.store(wanted, std::memory_order_relaxed); }

bool CPointerMailbox::Wanted() const { return m_wanted.load(std::memory_order_relaxed); }

bool ReadNewestPointer(const CPointerMailbox& pushed, xcb_connection_t* connection,
                       xcb_window_t root, int& x, int& y) {
    if (pushed.Read(x, y)) return false;
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr);
    if (reply && reply->same_screen) {
        x = reply->root_x;
        y = reply->root_y;
    }
    std::free(reply);
    return true;
}

// ---- The session's source -----------------------------------------------------------------------

PointerSource ChoosePointerSource(const CSessionFacts& session) {
    bool wayland = (session.waylandDisplay && *session.waylandDisplay) ||
                   (session.sessionType && std::strcmp(session.sessionType, "wayland") == 0);
    if (!wayland) return PointerSource::XServer;
    if (session.kwinOnBus) return PointerSource::KWin;
    if (session.gnomeShellOnBus) return PointerSource::GnomeShell;
    // KWin and GNOME Shell on the bus are live facts; Hyprland's variable may be left over in the
    // environment.
    return session.hyprlandInstance ? PointerSource::Hyprland : PointerSource::XwaylandOnly;
}

const char kXwaylandOnlyNotice[] =
    "mascot: this Wayland desktop shows the pointer to the mascot only while it is over an X "
    "window, so the modes that follow the pointer head for where it last crossed one; KDE "
    "Plasma, Hyprland and GNOME (through the mascot's GNOME Shell extension) show it everywhere, "
    "and so does an X11 session of any desktop\n";

std::unique_ptr<CPushedPointer> StartPushedPointer(CPointerMailbox& mailbox,
                                                   std::function<void(std::uint16_t)> command) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    auto onBus = [&bus](const char* name) {
        return bus.isConnected() && bus.interface()->isServiceRegistered(name);
    };
    const char* hyprland = std::getenv("HYPRLAND_INSTANCE_SIGNATURE");
    PointerSource source = ChoosePointerSource(
        {std::getenv("WAYLAND_DISPLAY"), std::getenv("XDG_SESSION_TYPE"), onBus(kKWinService),
         hyprland && *hyprland, onBus(kGnomeShellService)});
    if (source == PointerSource::XwaylandOnly) std::fputs(kXwaylandOnlyNotice, stderr);
    if (source == PointerSource::Hyprland) return CHyprlandPointer::Start(mailbox);
    if (source == PointerSource::GnomeShell) return CGnomePointer::Start(mailbox, command);
    if (source != PointerSource::KWin) return nullptr;
    return CKWinPointer::Start(mailbox);
}
