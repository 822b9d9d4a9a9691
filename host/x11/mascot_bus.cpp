// The program's object on the session bus: its name, its interface, and the messages taken from
// the pushing source's connection.
#include "host/x11/mascot_bus.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <cstdio>

#include "host/x11/command_channel.h"

// A mascot killed without its end may still hold the name while it hangs.
bool CMascotBusObject::Register(const char* pusher) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerService(MASCOT_BUS_NAME)) {
        std::fprintf(stderr,
                     "mascot: another process holds the session bus name " MASCOT_BUS_NAME
                     " (a mascot that hangs?), so %s cannot tell this one where the pointer is: "
                     "it is followed only over X windows; end that process and start the mascot "
                     "again\n",
                     pusher);
        return false;
    }
    return bus.registerVirtualObject(MASCOT_POINTER_PATH, this);
}

void CMascotBusObject::Unregister() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(MASCOT_POINTER_PATH);
    bus.unregisterService(MASCOT_BUS_NAME);
}

QString CMascotBusObject::introspect(const QString&) const {
    return QStringLiteral("<interface name=\"" MASCOT_POINTER_INTERFACE
                          "\"><method name=\"" MASCOT_POINTER_METHOD
                          "\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
                          "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>"
                          "<method name=\"" MASCOT_COMMAND_METHOD
                          "\"><arg name=\"id\" type=\"u\" direction=\"in\"/></method>"
                          "</interface>");
}

// KWin's scripts pass numbers as doubles or integers: either is taken.
bool CMascotBusObject::handleMessage(const QDBusMessage& message,
                                     const QDBusConnection& connection) {
    QVariantList arguments = message.arguments();
    if (Pusher().isEmpty() || message.service() != Pusher()) return false;
    if (message.member() == QLatin1String(MASCOT_POINTER_METHOD) && arguments.size() == 2) {
        OnMove(arguments[0].toInt(), arguments[1].toInt());
    } else if (message.member() != QLatin1String(MASCOT_COMMAND_METHOD) || arguments.size() != 1 ||
               arguments[0].toUInt() > kMaxCommandId ||
               !OnCommand(static_cast<std::uint16_t>(arguments[0].toUInt()))) {
        return false;
    }
    if (message.isReplyRequired()) connection.send(message.createReply());
    return true;
}
