// The mascot window's shape: a region made of a bitmap's non-transparent pixels, built by one row
// scan, and giving it to the window.
#pragma once

#include <windows.h>

#include <cstdint>

// Transparent colour value that asks for the colour of the image's bottom-left pixel.
constexpr std::uint32_t kTransparentFromBottomLeft = 0xFFFFFFFFu;
// Window property that holds the region last given to the window.
constexpr char kRegionProperty[] = "region";

// Builds the region from `bitmap` (bottom-left colour transparent), gives it to the window and
// records it under kRegionProperty. With no region the window goes back to its full rectangle.
void ApplyShape(HWND window, HBITMAP bitmap);

// The union of the maximal horizontal runs of pixels that differ from `transparent` (a 32-bit
// DIB value 0x00RRGGBB, or kTransparentFromBottomLeft), in window coordinates: the bitmap copied
// into a 32-bit pixel buffer through two memory contexts, and one rectangle united into the
// region per run. Null when the bitmap is missing or cannot be read; the caller owns the result.
HRGN BuildRegionFromBitmap(HBITMAP bitmap, std::uint32_t transparent);
