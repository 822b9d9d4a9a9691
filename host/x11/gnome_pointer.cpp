// GNOME Shell as the pointer's source: the watch on the extension's name, its pushes into the
// mailbox and its menu's commands.
#include "host/x11/gnome_pointer.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <cstdio>

const char kGnomeShellService[] = "org.gnome.Shell";

const char kGnomeExtensionNotice[] =
    "mascot: the mascot's GNOME Shell extension is not enabled, so the pointer is seen only "
    "while it is over an X window and there is no top-bar icon; enable it with\n"
    "    gnome-extensions enable " MASCOT_GNOME_EXTENSION_UUID
    "\n(on Wayland, an extension installed since this session began is seen after logging in "
    "again)\n";

std::unique_ptr<CGnomePointer> CGnomePointer::Start(CPointerMailbox& mailbox,
                                                    std::function<void(std::uint16_t)> command) {
    std::unique_ptr<CGnomePointer> source(new CGnomePointer(mailbox, std::move(command)));
    if (!source->Register("GNOME Shell")) return nullptr;
    source->m_extension =
        QDBusConnection::sessionBus().interface()->serviceOwner(MASCOT_GNOME_SHELL_NAME);
    if (source->m_extension.isEmpty()) std::fputs(kGnomeExtensionNotice, stderr);
    return source;
}

CGnomePointer::CGnomePointer(CPointerMailbox& mailbox, std::function<void(std::uint16_t)> command)
    : m_mailbox(mailbox),
      m_command(std::move(command)),
      m_watcher(MASCOT_GNOME_SHELL_NAME, QDBusConnection::sessionBus(),
                QDBusServiceWatcher::WatchForOwnerChange) {
    QObject::connect(
        &m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, &m_watcher,
        [this](const QString&, const QString&, const QString& owner) { OnExtension(owner); });
}

CGnomePointer::~CGnomePointer() {
    m_mailbox.Withdraw();
    Unregister();
}

// The extension sends the position it has at once when it sees the mascot, and again after it
// took its name: the mailbox is live from that first push.
void CGnomePointer::OnExtension(const QString& owner) {
    m_extension = owner;
    if (owner.isEmpty()) m_mailbox.Withdraw();
}

void CGnomePointer::OnMove(int x, int y) { m_mailbox.Post(x, y); }

bool CGnomePointer::OnCommand(std::uint16_t id) {
    m_command(id);
    return true;
}
