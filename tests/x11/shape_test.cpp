// The window's shape from the image: the mascot's runs against the reference drawing, and the
// rule of the bottom-left pixel on small made-up images.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "host/x11/mascot_window.h"
#include "support/mascot_image.h"

namespace {

using CPixelSet = std::set<std::pair<int, int>>;

CPixelSet PixelsOf(const std::vector<CShapeRun>& runs) {
    CPixelSet pixels;
    for (const CShapeRun& run : runs) {
        for (int x = run.x0; x < run.x1; ++x) pixels.insert({x, run.y});
    }
    return pixels;
}

// An image from rows of characters: '.' is one colour, any other character another.
CImage ImageOf(const std::vector<const char*>& rows) {
    CImage image;
    image.height = static_cast<int>(rows.size());
    image.width = static_cast<int>(std::char_traits<char>::length(rows[0]));
    for (const char* row : rows) {
        for (int x = 0; x < image.width; ++x) {
            image.pixels.push_back(row[x] == '.' ? 0xFFFFFFu : 0x0000FFu + row[x]);
        }
    }
    return image;
}

std::vector<CShapeRun> RunsOf(const CImage& image) {
    return ShapeRunsOf(image.pixels.data(), image.width, image.height);
}

}  // namespace

TEST(MascotImage, BuiltInBitmapHasTheReferencePixels) {
    CImage image = LoadMascotImage();
    ASSERT_EQ(kMascotSize, image.width);
    ASSERT_EQ(kMascotSize, image.height);
    for (int y = 0; y < kMascotSize; ++y) {
        for (int x = 0; x < kMascotSize; ++x) {
            EXPECT_EQ(MascotRgbAt(x, y), image.pixels[y * kMascotSize + x])
                << "pixel (" << x << ", " << y << ")";
        }
    }
}

TEST(MascotShape, IsExactlyTheNonWhitePixelsOneRunPerRow) {
    CImage image = LoadMascotImage();
    std::vector<CShapeRun> runs = RunsOf(image);
    ASSERT_EQ(40u, runs.size());
    CPixelSet expected;
    for (int y = 0; y < kMascotSize; ++y) {
        for (int x = 0; x < kMascotSize; ++x) {
            if (MascotIndexAt(x, y) != kIndexWhite) expected.insert({x, y});
        }
    }
    EXPECT_EQ(1226u, expected.size());
    EXPECT_EQ(expected, PixelsOf(runs));
    // Top and bottom rows: columns 18..21; the widest rows span all 40 columns.
    EXPECT_EQ(18, runs.front().x0);
    EXPECT_EQ(22, runs.front().x1);
    EXPECT_EQ(18, runs.back().x0);
    EXPECT_EQ(22, runs.back().x1);
    EXPECT_EQ(0, runs[17].x0);
    EXPECT_EQ(40, runs[17].x1);
}

TEST(ShapeRuns, TransparentColourIsTheBottomLeftPixelsNotTheTopLefts) {
    CImage image = ImageOf({
        "ab..",
        "....",
        "bb.a",
    });
    // Bottom-left is 'b': the '.' pixels and the 'a' pixels are shape, the 'b' pixels are not.
    std::vector<CShapeRun> runs = RunsOf(image);
    CPixelSet expected = {{0, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {2, 2}, {3, 2}};
    EXPECT_EQ(expected, PixelsOf(runs));
}

TEST(ShapeRuns, RowsWithTwoRunsARunToTheEndAndEmptyRows) {
    CImage image = ImageOf({
        "x.xx",
        "....",
        "..xx",
        "....",
    });
    std::vector<CShapeRun> runs = RunsOf(image);
    ASSERT_EQ(3u, runs.size());
    EXPECT_EQ(0, runs[0].x0);
    EXPECT_EQ(1, runs[0].x1);
    EXPECT_EQ(2, runs[1].x0);
    EXPECT_EQ(4, runs[1].x1);  // reaches the end of the row
    EXPECT_EQ(0, runs[1].y);
    EXPECT_EQ(2, runs[2].x0);
    EXPECT_EQ(4, runs[2].x1);
    EXPECT_EQ(2, runs[2].y);  // rows 1 and 3 add nothing
}

TEST(ShapeRuns, OneColourImageGivesNothingAndNoImageGivesNothing) {
    EXPECT_TRUE(RunsOf(ImageOf({"...", "..."})).empty());
    EXPECT_TRUE(ShapeRunsOf(nullptr, 4, 4).empty());
    std::uint32_t pixel = 1;
    EXPECT_TRUE(ShapeRunsOf(&pixel, 0, 1).empty());
}
