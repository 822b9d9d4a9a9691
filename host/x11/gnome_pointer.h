// GNOME Shell as the pointer's source on GNOME's Wayland sessions: the program's extension pushes
// each change of the pointer to the program's object, and its top-bar menu sends command ids.
// The names are plain #defines: the extension's build and the desktop tests read them too.
#pragma once

#include <QDBusServiceWatcher>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

#include "host/x11/mascot_bus.h"
#include "host/x11/pointer_source.h"

#define MASCOT_GNOME_EXTENSION_UUID "mascot@zunpel.desktop"
#define MASCOT_GNOME_SHELL_NAME "mascot.GnomeShell" /* the extension's name while it is enabled */

extern const char kGnomeShellService[];
// The extension is not enabled: what that costs, and what to do.
extern const char kGnomeExtensionNotice[];

// Qt's thread. The extension owns its name while it is enabled: the pushes and the commands
// count only from that connection; when the name goes (the extension disabled, the shell gone)
// the mailbox is withdrawn at once, and when it comes back its first push is taken up.
class CGnomePointer : public CPushedPointer, private CMascotBusObject {
public:
    // Null, having said why, when another process holds the program's bus name.
    static std::unique_ptr<CGnomePointer> Start(CPointerMailbox& mailbox,
                                                std::function<void(std::uint16_t)> command);
    ~CGnomePointer() override;
    // While the extension is enabled (it shows its top-bar icon where no tray host runs).
    bool ShowsMenu() const override { return !m_extension.isEmpty(); }

private:
    CGnomePointer(CPointerMailbox& mailbox, std::function<void(std::uint16_t)> command);
    void OnExtension(const QString& owner);

    const QString& Pusher() const override { return m_extension; }
    void OnMove(int x, int y) override;
    bool OnCommand(std::uint16_t id) override;

    CPointerMailbox& m_mailbox;
    std::function<void(std::uint16_t)> m_command;
    QDBusServiceWatcher m_watcher;
    QString m_extension;  // the shell's unique name while the extension is enabled in it
};
