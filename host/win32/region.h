// The window's shape: a region made of a bitmap's non-transparent pixels, and giving it to the
// window.
#pragma once

#include <windows.h>

#include <cstdint>

// Transparent colour value that asks for the colour of the image's bottom-left pixel.
constexpr std::uint32_t kTransparentFromBottomLeft = 0xFFFFFFFFu;
// Window property that holds the region last given to the window.
constexpr char kRegionProperty[] = "region";

// The union of the maximal horizontal runs of pixels that differ from `transparent` (a 32-bit
// DIB value 0x00RRGGBB, or kTransparentFromBottomLeft), in window coordinates. Null when the
// bitmap is missing or cannot be read; the caller owns the result.
HRGN BuildRegionFromBitmap(HBITMAP bitmap, std::uint32_t transparent);

// The same, always the plain way: the bitmap copied into a 32-bit pixel buffer through two memory
// contexts, and one rectangle united into the region per run. BuildRegionFromBitmap gives the
// identical region with far fewer calls for bitmaps that fit the quick builder's fixed buffers.
HRGN BuildRegionRunByRun(HBITMAP bitmap, std::uint32_t transparent);

// The same from pixels already in memory: `pixels` holds `height` rows of `width` 32-bit values,
// bottom row first, as a bottom-up 32-bit DIB stores them.
HRGN BuildRegionFromPixels(const std::uint32_t* pixels, int width, int height,
                           std::uint32_t transparent);

// Builds the region from `bitmap` (bottom-left colour transparent), gives it to the window and
// records it under kRegionProperty. With no region the window goes back to its full rectangle.
void ApplyShape(HWND window, HBITMAP bitmap);
