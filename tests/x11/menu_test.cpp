// The QMenu built from the menu table: texts, order, separators, the submenu, and the command
// that each item sends once the menu has closed.
#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/x11/menu_tray.h"

namespace {

std::vector<std::uint16_t> g_chosen;

}  // namespace

TEST(PopupMenu, HasTheItemsOfMenu128InOrder) {
    QMenu menu;
    BuildPopupMenu(menu, [](std::uint16_t) {});
    QList<QAction*> top = menu.actions();
    ASSERT_EQ(7, top.size());
    ASSERT_NE(nullptr, top[0]->menu());
    EXPECT_EQ(QString::fromUtf8("行動開始"), top[0]->text());
    EXPECT_EQ(QString::fromUtf8("停止"), top[1]->text());
    EXPECT_TRUE(top[2]->isSeparator());
    EXPECT_EQ(QString::fromUtf8("常に手前に表示"), top[3]->text());
    EXPECT_EQ(QString::fromUtf8("常に後ろに表示"), top[4]->text());
    EXPECT_TRUE(top[5]->isSeparator());
    EXPECT_EQ(QString::fromUtf8("Zunpelを終了する"), top[6]->text());
    QList<QAction*> start = top[0]->menu()->actions();
    ASSERT_EQ(6, start.size());
    const char* const counts[] = {"２", "４", "８", "１６", "３２", "６４"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(QString::fromUtf8("行動数：") + QString::fromUtf8(counts[i]), start[i]->text());
        EXPECT_EQ(nullptr, start[i]->menu());
    }
}

TEST(PopupMenu, ItemsSendTheirIdsAfterTheMenuHasClosed) {
    QMenu menu;
    g_chosen.clear();
    BuildPopupMenu(menu, [](std::uint16_t id) { g_chosen.push_back(id); });
    QList<QAction*> top = menu.actions();
    QList<QAction*> start = top[0]->menu()->actions();
    for (QAction* action : start) action->trigger();
    top[1]->trigger();
    top[3]->trigger();
    top[4]->trigger();
    top[6]->trigger();
    EXPECT_TRUE(g_chosen.empty());  // not yet: queued behind the menu's own closing
    QCoreApplication::processEvents();
    EXPECT_EQ((std::vector<std::uint16_t>{32793, 32794, 32796, 32795, 32797, 32798, 32779, 32800,
                                          32799, 57665}),
              g_chosen);
}
