// ShapeRunsOf: one scan over the image, one run per stretch of non-transparent pixels.
#include "host/x11/shape.h"

#include <cstddef>

#include "host/shared/pixel_runs.h"

std::vector<CShapeRun> ShapeRunsOf(const std::uint32_t* pixels, int width, int height) {
    std::vector<CShapeRun> runs;
    if (!pixels || width <= 0 || height <= 0) return runs;
    std::size_t bottomRow = static_cast<std::size_t>(height - 1) * width;
    std::uint32_t transparent = pixels[bottomRow];
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * width;
        ForEachRun(row, width, transparent, [&runs, y](int x0, int x1) {
            runs.push_back({x0, x1, y});
            return true;
        });
    }
    return runs;
}
