// Counting free handle slots by filling the table and emptying it again.
#include "support/handle_count.h"

#include <windows.h>

#include <vector>

namespace {

constexpr int kHandleLimit = 200000;  // above any table size; stops a table that never fills

}  // namespace

int CountCreatableRegions() {
    std::vector<HRGN> regions;
    regions.reserve(70000);
    while (static_cast<int>(regions.size()) < kHandleLimit) {
        HRGN region = CreateRectRgn(0, 0, 1, 1);
        if (!region) break;
        regions.push_back(region);
    }
    for (HRGN region : regions) DeleteObject(region);
    return static_cast<int>(regions.size());
}

int CountCreatableMenus() {
    std::vector<HMENU> menus;
    menus.reserve(70000);
    while (static_cast<int>(menus.size()) < kHandleLimit) {
        HMENU menu = CreatePopupMenu();
        if (!menu) break;
        menus.push_back(menu);
    }
    for (HMENU menu : menus) DestroyMenu(menu);
    return static_cast<int>(menus.size());
}
