// Qt's part of the program: what the toolkit is told (the X11 platform, no scaling, no style
// cache), the popup menu built from the shared menu table, and the tray icon.
#pragma once

#include <QMenu>
#include <QSystemTrayIcon>

#include <cstdint>
#include <functional>
#include <memory>

// ---- The toolkit's environment ------------------------------------------------------------------
// Before it starts, the X11 platform and no scaling; once it runs, how much its style may cache.

// Forces Qt's xcb platform (under Wayland sessions too: the mascot needs X11 positions and
// stacking) and takes away the environment's scaling variables, which would otherwise scale the
// menu's coordinates away from the pointer's. Call before QApplication exists.
void PrepareQtEnvironment();

// The style caches the pixmaps it draws with (a menu's arrows and frames) under keys that hold
// the palette's serial number, which changes every time the tray icon's menu is shown: each
// showing added about a KiB that stayed (the keys outlive their evicted pixmaps), without bound
// over hours. The menu is drawn only while open and its pixmaps are tiny, so it draws them anew
// each time instead. Call once QApplication exists.
void StopStyleCache();

// ---- The popup menu -----------------------------------------------------------------------------

// Fills `menu` with the entries of kPopupMenuLayout; choosing an item calls `chosen` with its
// command id once the menu has closed.
void BuildPopupMenu(QMenu& menu, const std::function<void(std::uint16_t)>& chosen);

// ---- The tray icon ------------------------------------------------------------------------------
// The disc image, the tip "Zunpel", the popup menu on a right click.

// Shows the icon wherever the desktop offers a tray (StatusNotifierItem or XEmbed, as Qt
// finds); with no tray at all, unless `menuElsewhere` (GNOME's top bar shows it), it says so in
// one line on standard error, and the mascot's own right click still opens the menu. A tray that
// starts later still gets the icon.
std::unique_ptr<QSystemTrayIcon> ShowTrayIcon(QMenu& menu, bool menuElsewhere);
