// The quick builder gives exactly the region of the run-by-run builder: the same rectangles, in
// the same order, as the graphics system stores them, for the mascot, random bitmaps (all and
// none transparent among them) and the limits of the quick builder's buffers. The failures of
// both are tested in region_test.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "host/win32/window.h"
#include "resources/resource_ids.h"
#include "support/region_rows.h"

namespace {

using CPixels = std::vector<std::vector<std::uint32_t>>;

constexpr std::uint32_t W = 0xFFFFFF;
constexpr std::uint32_t B = 0x0000FF;
constexpr std::uint32_t R = 0xFF0000;

bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (!EqualRect(&a[i], &b[i])) return false;
    }
    return true;
}

// Both builders on one bitmap and colour; true when both give no region or the same one.
::testing::AssertionResult BuildersAgree(HBITMAP bitmap, std::uint32_t transparent) {
    HRGN quick = BuildRegionFromBitmap(bitmap, transparent);
    HRGN plain = BuildRegionRunByRun(bitmap, transparent);
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    if (!quick || !plain) {
        if (quick != plain) {
            result = ::testing::AssertionFailure()
                     << "only the " << (quick ? "quick" : "run-by-run") << " builder gave a region";
        }
    } else {
        std::vector<RECT> quickRects = ReadRegionRects(quick);
        std::vector<RECT> plainRects = ReadRegionRects(plain);
        RECT quickBox;
        RECT plainBox;
        int quickKind = GetRgnBox(quick, &quickBox);
        int plainKind = GetRgnBox(plain, &plainBox);
        if (!SameRects(quickRects, plainRects) || quickKind != plainKind ||
            (quickKind != NULLREGION && !EqualRect(&quickBox, &plainBox))) {
            result = ::testing::AssertionFailure()
                     << "quick:\n"
                     << Describe(ReadRegionRows(quick)) << "run-by-run:\n"
                     << Describe(ReadRegionRows(plain));
        }
    }
    if (quick) DeleteObject(quick);
    if (plain) DeleteObject(plain);
    return result;
}

::testing::AssertionResult BuildersAgree(const CPixels& pixels, std::uint32_t transparent) {
    HBITMAP bitmap = MakeBitmap(pixels);
    if (!bitmap) return ::testing::AssertionFailure() << "no test bitmap";
    ::testing::AssertionResult result = BuildersAgree(bitmap, transparent);
    DeleteObject(bitmap);
    return result;
}

CPixels RandomPixels(std::mt19937& random, int width, int height, double transparentShare) {
    std::bernoulli_distribution transparent(transparentShare);
    std::uniform_int_distribution<int> colour(0, 3);
    const std::uint32_t others[4] = {0x000000, B, R, 0x00FF00};
    CPixels pixels(height, std::vector<std::uint32_t>(width));
    for (auto& row : pixels) {
        for (auto& pixel : row) pixel = transparent(random) ? W : others[colour(random)];
    }
    return pixels;
}

}  // namespace

TEST(QuickBuilder, SameRegionForTheMascot) {
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_MASCOT));
    ASSERT_NE(nullptr, bitmap);
    EXPECT_TRUE(BuildersAgree(bitmap, kTransparentFromBottomLeft));
    EXPECT_TRUE(BuildersAgree(bitmap, 0xFFFFFF));
    EXPECT_TRUE(BuildersAgree(bitmap, 0x0000FF));
    DeleteObject(bitmap);
}

TEST(QuickBuilder, SameRegionWhenPixelsCarryAnAlphaByte) {
    const std::uint32_t blueWithAlpha = 0xFF0000FF;
    EXPECT_TRUE(BuildersAgree(CPixels{{blueWithAlpha, W}, {B, blueWithAlpha}}, B));
    EXPECT_TRUE(
        BuildersAgree(CPixels{{blueWithAlpha, W}, {B, blueWithAlpha}}, kTransparentFromBottomLeft));
}

TEST(QuickBuilder, SameRegionForRandomBitmaps) {
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> size(1, 64);
    const double shares[] = {0.0, 0.1, 0.5, 0.9, 1.0};
    for (int i = 0; i < 300; ++i) {
        int width = size(random);
        int height = size(random);
        double share = shares[i % 5];
        CPixels pixels = RandomPixels(random, width, height, share);
        std::uint32_t transparent = i % 2 ? W : kTransparentFromBottomLeft;
        ASSERT_TRUE(BuildersAgree(pixels, transparent))
            << width << " x " << height << ", case " << i;
    }
}

TEST(QuickBuilder, FullRectangleBufferIsEnough) {
    // A 64 x 64 checkerboard has the most runs the quick builder takes: 32 in each of 64 rows.
    ASSERT_TRUE(FitsQuickBuilder(64, 64));
    CPixels board(64, std::vector<std::uint32_t>(64));
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) board[y][x] = (x + y) % 2 ? W : B;
    }
    EXPECT_TRUE(BuildersAgree(board, W));
    HBITMAP bitmap = MakeBitmap(board);
    HRGN region = BuildRegionFromBitmap(bitmap, W);
    ASSERT_NE(nullptr, region);
    EXPECT_EQ(2048u, ReadRegionRects(region).size());
    DeleteObject(region);
    DeleteObject(bitmap);
}

TEST(QuickBuilder, LargerBitmapsTakeTheRunByRunWay) {
    EXPECT_TRUE(FitsQuickBuilder(40, 40));
    EXPECT_FALSE(FitsQuickBuilder(65, 64));
    EXPECT_FALSE(FitsQuickBuilder(1, 4097));
    EXPECT_FALSE(FitsQuickBuilder(3, 1400));  // more possible runs than the rectangle buffer
    EXPECT_FALSE(FitsQuickBuilder(0, 10));
    std::mt19937 random(7);
    EXPECT_TRUE(BuildersAgree(RandomPixels(random, 100, 70, 0.5), W));
    EXPECT_TRUE(BuildersAgree(RandomPixels(random, 3, 1400, 0.5), kTransparentFromBottomLeft));
}
