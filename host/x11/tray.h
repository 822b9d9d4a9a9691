// The tray icon: the disc image, the tip "Zunpel", the popup menu on a right click.
#pragma once

#include <QMenu>
#include <QSystemTrayIcon>

#include <memory>

// Shows the icon wherever the desktop offers a tray (StatusNotifierItem or XEmbed, as Qt
// finds); with no tray at all it says so in one line on standard error, and the mascot's own
// right click still opens the menu. A tray that starts later still gets the icon.
std::unique_ptr<QSystemTrayIcon> ShowTrayIcon(QMenu& menu);
