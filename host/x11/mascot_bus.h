// The program's object on the session bus, shared by the compositors' pushed sources: KWin's
// script and GNOME Shell's extension push the pointer to it, GNOME's top-bar menu sends command
// ids. The names are plain #defines: the extension's build and the desktop tests read them too.
#pragma once

#include <QDBusVirtualObject>
#include <QString>

#include <cstdint>

#define MASCOT_BUS_NAME "mascot.Mascot" /* the running mascot on the session bus */
#define MASCOT_POINTER_PATH "/Pointer"  /* the object the compositor pushes to */
#define MASCOT_POINTER_INTERFACE "mascot.Pointer"
#define MASCOT_POINTER_METHOD "Move"    /* (x, y): the pointer's new position on the screen */
#define MASCOT_COMMAND_METHOD "Command" /* (u): a command id, as mascot --command ID sends it */

// Qt's thread. A message counts only from the connection the source names (Pusher), so that no
// other program on the bus steers the mascot through it.
class CMascotBusObject : public QDBusVirtualObject {
protected:
    // Takes the bus name and the object; false, having said on standard error that `pusher`
    // cannot reach this mascot, when another process holds the name.
    bool Register(const char* pusher);
    void Unregister();

    // The pushing connection's unique name; empty while none pushes.
    virtual const QString& Pusher() const = 0;
    virtual void OnMove(int x, int y) = 0;
    // False: the source sends no commands.
    virtual bool OnCommand(std::uint16_t id) = 0;

private:
    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
};
