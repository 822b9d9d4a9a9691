// What both region builders share: the layout of their 32-bit pixel buffer, and the scan of a row
// into its runs.
#pragma once

#include <windows.h>

#include "host/shared/pixel_runs.h"

// A bottom-up 32-bit uncompressed DIB of width x height: rows of width x 4 bytes, bottom row first.
inline BITMAPINFO BottomUp32BitInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: the first row in memory is the bottom row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}
