// ShapeRunsOf: one scan over the image, one run per stretch of non-transparent pixels.
#include "host/x11/shape.h"

#include <cstddef>

namespace {

void AddRunsOfRow(const std::uint32_t* row, int width, std::uint32_t transparent, int y,
                  std::vector<CShapeRun>& runs) {
    int x = 0;
    while (x < width) {
        if (row[x] == transparent) {
            ++x;
            continue;
        }
        int start = x;
        while (x < width && row[x] != transparent) ++x;
        runs.push_back({start, x, y});
    }
}

}  // namespace

std::vector<CShapeRun> ShapeRunsOf(const std::uint32_t* pixels, int width, int height) {
    std::vector<CShapeRun> runs;
    if (!pixels || width <= 0 || height <= 0) return runs;
    std::size_t bottomRow = static_cast<std::size_t>(height - 1) * width;
    std::uint32_t transparent = pixels[bottomRow];
    for (int y = 0; y < height; ++y) {
        AddRunsOfRow(pixels + static_cast<std::size_t>(y) * width, width, transparent, y, runs);
    }
    return runs;
}
