// Turning the menu table into QMenu entries.
#include "host/x11/popup_menu.h"

#include <vector>

#include "resources/menu_layout.h"

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
