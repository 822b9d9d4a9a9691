// The QSystemTrayIcon of the program, from the icon image built into it.
#include "host/x11/tray.h"

#include <cstdio>

#include "host/shared/window.h"

namespace {

constexpr char kTrayIconPath[] = ":/tray.ico";

}  // namespace

std::unique_ptr<QSystemTrayIcon> ShowTrayIcon(QMenu& menu) {
    auto tray = std::make_unique<QSystemTrayIcon>(QIcon(QString::fromLatin1(kTrayIconPath)));
    tray->setToolTip(QString::fromLatin1(kTrayTip));
    tray->setContextMenu(&menu);
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        std::fputs("mascot: no system tray found; right-click the mascot for its menu\n", stderr);
    }
    tray->show();
    return tray;
}
