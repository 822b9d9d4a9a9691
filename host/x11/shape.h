// The window's shape from the image: the pixels that differ from the bottom-left one.
#pragma once

#include <cstdint>
#include <vector>

// Columns x0 .. x1 - 1 of row y, rows counted from the top.
struct CShapeRun {
    int x0;
    int x1;
    int y;
};

// The maximal horizontal runs of pixels whose whole 32-bit value differs from the bottom-left
// pixel's, row by row from the top. `pixels` holds `height` rows of `width` values, top row
// first. The union of the runs is the window's shape; an image of one colour gives none.
std::vector<CShapeRun> ShapeRunsOf(const std::uint32_t* pixels, int width, int height);
