// The quick way to a bitmap's shape for small bitmaps such as the mascot: one pixel read and one
// region creation instead of a pixel buffer, two contexts and a region per run.
#pragma once

#include <windows.h>

#include <cstdint>

// Whether a width x height bitmap fits the quick builder's fixed buffers.
bool FitsQuickBuilder(int width, int height);

// The same region as the run-by-run builder gives for a bitmap that fits, or null when the
// bitmap cannot be read. `transparent` as for BuildRegionFromBitmap.
HRGN BuildRegionQuickly(HBITMAP bitmap, int width, int height, std::uint32_t transparent);
