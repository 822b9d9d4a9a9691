// What both region builders share: the layout of their 32-bit pixel buffer and the scan of a row
// into its maximal runs of non-transparent pixels.
#pragma once

#include <windows.h>

#include <cstdint>

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

// Calls addRun(x0, x1) for each maximal run of pixels that differ from `transparent`, columns
// x0 .. x1 - 1, from left to right; stops with false as soon as addRun does.
template <typename AddRun>
bool ForEachRun(const std::uint32_t* row, int width, std::uint32_t transparent, AddRun addRun) {
    int x = 0;
    while (x < width) {
        if (row[x] == transparent) {
            ++x;
            continue;
        }
        int start = x;
        while (x < width && row[x] != transparent) ++x;
        if (!addRun(start, x)) return false;
        ++x;  // the pixel at x is transparent, or x is past the row
    }
    return true;
}
