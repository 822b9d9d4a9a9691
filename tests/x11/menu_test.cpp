// The QMenu built from the menu table that every host builds its menu from
// (resources/menu_layout.h), compared with it entry by entry: texts, order, separators, the
// submenu, and the command that each item sends once the menu has closed.
#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "host/x11/menu_tray.h"
#include "resources/menu_layout.h"

namespace {

constexpr std::size_t kEntries = std::size(kPopupMenuLayout);

std::vector<std::uint16_t> g_chosen;

// Compares `menu` with the table from entry `at` up to the end of the level (a SubmenuEnd or the
// table's end), triggering each item and adding the id it must send to `ids`; returns the index
// just past that level.
std::size_t ExpectLevel(const QMenu& menu, std::size_t at, const std::string& where,
                        std::vector<std::uint16_t>& ids) {
    QList<QAction*> actions = menu.actions();
    int position = 0;
    for (; at < kEntries && kPopupMenuLayout[at].kind != MenuEntryKind::SubmenuEnd; ++position) {
        const CMenuEntry& entry = kPopupMenuLayout[at];
        std::string here = where + "/" + std::to_string(position);
        if (position >= actions.size()) {
            ADD_FAILURE() << here << " is missing";
            return kEntries;
        }
        QAction* action = actions[position];
        ++at;
        if (entry.kind == MenuEntryKind::Separator) {
            EXPECT_TRUE(action->isSeparator()) << here;
            continue;
        }
        EXPECT_EQ(std::string(entry.text), action->text().toStdString()) << here;
        if (entry.kind == MenuEntryKind::Item) {
            EXPECT_EQ(nullptr, action->menu()) << here;
            ids.push_back(static_cast<std::uint16_t>(entry.id));
            action->trigger();
            continue;
        }
        if (!action->menu()) {
            ADD_FAILURE() << here << " is no submenu";
            return kEntries;
        }
        at = ExpectLevel(*action->menu(), at, here, ids);
        if (at < kEntries) ++at;  // past the SubmenuEnd
    }
    EXPECT_EQ(position, actions.size()) << where << ": entry count";
    return at;
}

}  // namespace

TEST(PopupMenu, IsTheSharedTableItemByItemAndSendsTheIdsAfterClosing) {
    QMenu menu;
    g_chosen.clear();
    BuildPopupMenu(menu, [](std::uint16_t id) { g_chosen.push_back(id); });
    std::vector<std::uint16_t> ids;
    EXPECT_EQ(kEntries, ExpectLevel(menu, 0, "popup", ids));
    EXPECT_TRUE(g_chosen.empty());  // not yet: queued behind the menu's own closing
    QCoreApplication::processEvents();
    EXPECT_EQ(ids, g_chosen);
}
