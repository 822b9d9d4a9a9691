// The scan both desktop hosts shape their window with: a row of 32-bit pixels into its maximal
// runs of non-transparent pixels.
#pragma once

#include <cstdint>

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
