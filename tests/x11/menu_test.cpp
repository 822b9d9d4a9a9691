// The QMenu built from the menu table that every host builds its menu from
// (resources/menu_layout.h), read back as such a table: texts, order, separators, the submenu,
// and the command that each item sends once the menu has closed.
#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "host/x11/menu_tray.h"
#include "resources/menu_layout.h"

namespace {

struct CReadEntry {
    MenuEntryKind kind;
    std::string text;  // empty for SubmenuEnd and Separator
    unsigned id;       // the id an item sends, 0 otherwise
};

std::vector<std::uint16_t> g_chosen;

// Appends the entries of `menu` to `read` as the table writes them; each item is triggered for
// the id it sends.
void ReadMenu(const QMenu& menu, std::vector<CReadEntry>& read) {
    for (QAction* action : menu.actions()) {
        std::string text = action->text().toStdString();
        if (action->isSeparator()) {
            read.push_back({MenuEntryKind::Separator, "", 0});
        } else if (action->menu()) {
            read.push_back({MenuEntryKind::SubmenuBegin, text, 0});
            ReadMenu(*action->menu(), read);
            read.push_back({MenuEntryKind::SubmenuEnd, "", 0});
        } else {
            g_chosen.clear();
            action->trigger();
            EXPECT_TRUE(g_chosen.empty()) << text;  // not yet: queued behind the menu's closing
            QCoreApplication::processEvents();
            read.push_back({MenuEntryKind::Item, text, g_chosen.size() == 1 ? g_chosen[0] : 0u});
        }
    }
}

}  // namespace

TEST(PopupMenu, IsTheSharedTableItemByItemAndSendsTheIdsAfterClosing) {
    QMenu menu;
    BuildPopupMenu(menu, [](std::uint16_t id) { g_chosen.push_back(id); });
    std::vector<CReadEntry> read;
    ReadMenu(menu, read);
    ASSERT_EQ(std::size(kPopupMenuLayout), read.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        const CMenuEntry& entry = kPopupMenuLayout[i];
        EXPECT_EQ(entry.kind, read[i].kind) << "entry " << i;
        EXPECT_EQ(entry.text ? entry.text : "", read[i].text) << "entry " << i;
        EXPECT_EQ(entry.id, read[i].id) << "entry " << i;
    }
}
