// Menu 128 as the resource compiler built it against the menu table that the other hosts build
// their menus from (resources/menu_layout.h): the same texts, ids, separators and submenu.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "resources/menu_layout.h"
#include "resources/resource_ids.h"
#include "support/menu_items.h"

namespace {

std::wstring Wide(const char* utf8) {
    wchar_t text[64] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text, 64);
    return text;
}

constexpr std::size_t kEntries = sizeof kPopupMenuLayout / sizeof kPopupMenuLayout[0];

// Compares `menu` with the table from entry `at` up to the end of the level (a SubmenuEnd or
// the table's end); returns the index just past that level.
std::size_t ExpectLevel(HMENU menu, std::size_t at, const std::string& where) {
    UINT position = 0;
    for (; at < kEntries && kPopupMenuLayout[at].kind != MenuEntryKind::SubmenuEnd; ++position) {
        const CMenuEntry& entry = kPopupMenuLayout[at];
        std::string here = where + "/" + std::to_string(position);
        switch (entry.kind) {
        case MenuEntryKind::Separator:
            EXPECT_TRUE(IsSeparator(menu, position)) << here;
            ++at;
            break;
        case MenuEntryKind::Item:
            EXPECT_EQ(Wide(entry.text), MenuText(menu, position)) << here;
            EXPECT_EQ(entry.id, GetMenuItemID(menu, position)) << here;
            EXPECT_EQ(nullptr, GetSubMenu(menu, position)) << here;
            ++at;
            break;
        case MenuEntryKind::SubmenuBegin: {
            EXPECT_EQ(Wide(entry.text), MenuText(menu, position)) << here;
            HMENU submenu = GetSubMenu(menu, position);
            if (!submenu) {
                ADD_FAILURE() << here << " is no submenu";
                return kEntries;
            }
            at = ExpectLevel(submenu, at + 1, here);
            if (at < kEntries) ++at;  // past the SubmenuEnd
            break;
        }
        case MenuEntryKind::SubmenuEnd: break;
        }
    }
    EXPECT_EQ(static_cast<int>(position), GetMenuItemCount(menu)) << where << ": entry count";
    return at;
}

}  // namespace

TEST(MenuLayout, Menu128IsTheSharedTableItemByItem) {
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_POPUP_MENU));
    ASSERT_NE(nullptr, menu);
    ASSERT_EQ(1, GetMenuItemCount(menu));
    EXPECT_EQ(Wide(MENU_TEXT_FILE), MenuText(menu, 0));
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(kEntries, ExpectLevel(popup, 0, "popup"));
    DestroyMenu(menu);
}
