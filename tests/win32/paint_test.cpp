// What the mascot window shows: its pixels read back from the window. Runs alone, as a window of
// another process over the mascot would hide some of them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>

#include "support/mascot_image.h"
#include "support/test_window.h"

namespace {

// 0x00RRGGBB, as the image table gives colours; CLR_INVALID where nothing can be read.
std::uint32_t Rgb(COLORREF colour) {
    if (colour == CLR_INVALID) return colour;
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

}  // namespace

class Painting : public MascotWindowTest {};

TEST_F(Painting, WindowShowsTheMascotImageInsideItsShape) {
    Tick();  // shown at (300, 100), topmost
    UpdateWindow(m_window);
    HDC window = GetDC(m_window);
    ASSERT_NE(nullptr, window);
    int wrong = 0;
    std::ostringstream first;
    for (int y = 0; y < kMascotSize; ++y) {
        for (int x = 0; x < kMascotSize; ++x) {
            if (MascotIndexAt(x, y) == kIndexWhite) continue;  // outside the shape
            std::uint32_t seen = Rgb(GetPixel(window, x, y));
            if (seen == MascotRgbAt(x, y)) continue;
            if (wrong++ == 0) {
                first << "pixel (" << x << ", " << y << ") is " << std::hex << seen
                      << " instead of " << MascotRgbAt(x, y);
            }
        }
    }
    ReleaseDC(m_window, window);
    EXPECT_EQ(0, wrong) << first.str();
}
