// The menu drawn again and again under a palette whose serial number changes each time, as the
// tray icon's menu is shown: the heap must not grow with the showings.
#include <QMenu>
#include <QPalette>
#include <QPixmapCache>

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstddef>
#include <cstdint>

#include "host/x11/menu_tray.h"

namespace {

constexpr int kShowings = 400;
// Qt's own cache kept about 1 KiB a showing; drawing anew keeps next to nothing.
constexpr std::size_t kAllowedGrowth = 64 * 1024;

std::size_t HeapInUse() { return mallinfo2().uordblks; }

void DrawWithFreshPalette(QMenu& menu) {
    QPalette palette = menu.palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Window));  // a new serial number
    menu.setPalette(palette);
    menu.grab();
}

}  // namespace

TEST(StyleCache, RedrawingTheMenuUnderNewPalettesKeepsNothing) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's allocator keeps no malloc statistics";
#endif
    const int defaultLimit = QPixmapCache::cacheLimit();
    StopStyleCache();
    QMenu menu;
    BuildPopupMenu(menu, [](std::uint16_t) {});
    menu.setActiveAction(menu.actions().front());  // the submenu's arrow, highlighted
    for (int i = 0; i < 20; ++i) DrawWithFreshPalette(menu);
    const std::size_t before = HeapInUse();
    for (int i = 0; i < kShowings; ++i) DrawWithFreshPalette(menu);
    const std::size_t grown = HeapInUse() - before;
    QPixmapCache::setCacheLimit(defaultLimit);
    EXPECT_LT(grown, kAllowedGrowth) << grown << " bytes after " << kShowings << " showings";
}
