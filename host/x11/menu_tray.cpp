// Qt's part of the program: environment variables for this process and the style cache, the menu
// table turned into QMenu entries, and the QSystemTrayIcon from the icon image built into the
// program.
#include "host/x11/menu_tray.h"

#include <QPixmapCache>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "host/shared/window.h"
#include "resources/menu_layout.h"

// ---- The toolkit's environment ------------------------------------------------------------------

namespace {

const char* const kScalingVariables[] = {
    "QT_SCALE_FACTOR",       "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
    "QT_DEVICE_PIXEL_RATIO", "QT_USE_PHYSICAL_DPI",     "QT_SCALE_FACTOR_ROUNDING_POLICY",
};

}  // namespace

void PrepareQtEnvironment() {
    for (const char* name : kScalingVariables) unsetenv(name);
    // Without it Qt would still scale by the X resources' DPI (Xft.dpi).
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
}

void StopStyleCache() { QPixmapCache::setCacheLimit(0); }

// ---- The popup menu -----------------------------------------------------------------------------

void BuildPopupMenu(QMenu& menu, const std::function<void(std::uint16_t)>& chosen) {
    std::vector<QMenu*> levels = {&menu};
    for (const CMenuEntry& entry : kPopupMenuLayout) {
        QMenu* level = levels.back();
        switch (entry.kind) {
        case MenuEntryKind::SubmenuBegin:
            levels.push_back(level->addMenu(QString::fromUtf8(entry.text)));
            break;
        case MenuEntryKind::SubmenuEnd:
            if (levels.size() > 1) levels.pop_back();
            break;
        case MenuEntryKind::Separator: level->addSeparator(); break;
        case MenuEntryKind::Item: {
            QAction* action = level->addAction(QString::fromUtf8(entry.text));
            auto id = static_cast<std::uint16_t>(entry.id);
            // Queued: as on Windows, the command runs after the menu has closed.
            QObject::connect(
                action, &QAction::triggered, &menu, [chosen, id] { chosen(id); },
                Qt::QueuedConnection);
            break;
        }
        }
    }
}

// ---- The tray icon ------------------------------------------------------------------------------

namespace {

constexpr char kTrayIconPath[] = ":/tray.ico";

}  // namespace

std::unique_ptr<QSystemTrayIcon> ShowTrayIcon(QMenu& menu, bool menuElsewhere) {
    auto tray = std::make_unique<QSystemTrayIcon>(QIcon(QString::fromLatin1(kTrayIconPath)));
    tray->setToolTip(QString::fromLatin1(kTrayTip));
    tray->setContextMenu(&menu);
    if (!menuElsewhere && !QSystemTrayIcon::isSystemTrayAvailable()) {
        std::fputs("mascot: no system tray found; right-click the mascot for its menu\n", stderr);
    }
    tray->show();
    return tray;
}
