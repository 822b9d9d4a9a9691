// The row scan of a bitmap's shape, then the region builder (the mascot, edge cases, random
// bitmaps, failures) and ApplyShape, on real bitmaps and windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "host/shared/pixel_runs.h"
#include "host/win32/shape.h"
#include "resources/resource_ids.h"
#include "support/handle_count.h"
#include "support/mascot_image.h"
#include "support/region_rows.h"
#include "support/test_window.h"

namespace {

constexpr std::uint32_t W = 0xFFFFFF;  // white
constexpr std::uint32_t K = 0x000000;  // black
constexpr std::uint32_t B = 0x0000FF;  // blue
constexpr std::uint32_t R = 0xFF0000;  // red

HBITMAP LoadMascot() {
    return LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_MASCOT));
}

using CPixels = std::vector<std::vector<std::uint32_t>>;

// Builds from a bitmap of the given rows and reads the region back; deletes both.
CRegionRows BuildRows(const CPixels& pixels, std::uint32_t transparent) {
    HBITMAP bitmap = MakeBitmap(pixels);
    HRGN region = BuildRegionFromBitmap(bitmap, transparent);
    CRegionRows rows = region ? ReadRegionRows(region) : CRegionRows{};
    if (region) DeleteObject(region);
    DeleteObject(bitmap);
    return rows;
}

CPixels RandomPixels(std::mt19937& random, int width, int height, double transparentShare) {
    std::bernoulli_distribution transparent(transparentShare);
    std::uniform_int_distribution<int> colour(0, 3);
    const std::uint32_t others[4] = {K, B, R, 0x00FF00};
    CPixels pixels(height, std::vector<std::uint32_t>(width));
    for (auto& row : pixels) {
        for (auto& pixel : row) pixel = transparent(random) ? W : others[colour(random)];
    }
    return pixels;
}

}  // namespace

// The edge cases of a row live here, once: the builder only adds the rows' order, the
// bottom-left colour and the regions.
TEST(RowScan, GivesTheMaximalRunsOfEveryOtherColour) {
    const struct {
        std::vector<std::uint32_t> row;
        std::uint32_t transparent;
        std::vector<CRun> runs;
    } cases[] = {
        {{B}, W, {{0, 1}}},
        {{W}, W, {}},
        {{W, W, B, K, B}, W, {{2, 5}}},                  // a run reaching the end ends at the width
        {{B, W, K, B, W, W}, W, {{0, 1}, {2, 4}}},       // two runs of mixed colours
        {{B, W, B, W, B}, W, {{0, 1}, {2, 3}, {4, 5}}},  // single transparent pixels split runs
        {{W, W, W}, W, {}},                              // a transparent row adds nothing
        {{W, B, K}, 0x123456, {{0, 3}}},                 // a colour no pixel has: the whole row
        {{0xFF0000FF, B}, B, {{0, 1}}},                  // the alpha byte makes another colour
    };
    for (const auto& c : cases) {
        std::vector<CRun> runs;
        bool done = ForEachRun(c.row.data(), static_cast<int>(c.row.size()), c.transparent,
                               [&runs](int x0, int x1) {
                                   runs.push_back({x0, x1});
                                   return true;
                               });
        EXPECT_TRUE(done);
        EXPECT_TRUE(runs == c.runs) << "case " << (&c - cases);
    }
}

TEST(RowScan, StopsAtTheFirstRunThatIsRefused) {
    const std::uint32_t row[] = {B, W, B, W, B};
    int calls = 0;
    EXPECT_FALSE(ForEachRun(row, 5, W, [&calls](int, int) { return ++calls < 2; }));
    EXPECT_EQ(2, calls);
}

TEST(RegionFromBitmap, MascotGivesOneRunPerRowOfTheImage) {
    HBITMAP bitmap = LoadMascot();
    ASSERT_NE(nullptr, bitmap);
    HRGN region = BuildRegionFromBitmap(bitmap, kTransparentFromBottomLeft);
    ASSERT_NE(nullptr, region);
    CRegionRows rows = ReadRegionRows(region);
    EXPECT_EQ(MascotRows(), rows) << Describe(rows);
    ASSERT_EQ(40u, rows.size());
    std::vector<CRun> top = {{18, 22}};
    EXPECT_EQ(top, rows[0]);
    EXPECT_EQ(top, rows[39]);
    int widest = 0;
    for (const auto& entry : rows) {
        ASSERT_EQ(1u, entry.second.size()) << "row " << entry.first;
        widest = std::max(widest, entry.second[0].end - entry.second[0].first);
    }
    EXPECT_EQ(40, widest);
    DeleteObject(region);
    DeleteObject(bitmap);
}

TEST(RegionFromBitmap, BottomLeftPixelChoosesTheTransparentColour) {
    // Top-left is white, bottom-left red: with -1 the red pixels are the transparent ones.
    CRegionRows rows =
        BuildRows({{W, W, R, R}, {R, W, W, R}, {R, R, W, W}}, kTransparentFromBottomLeft);
    CRegionRows expected = {{0, {{0, 2}}}, {1, {{1, 3}}}, {2, {{2, 4}}}};
    EXPECT_EQ(expected, rows) << Describe(rows);
}

// Random sizes, colours and shares of transparent pixels, all and none among them: every row's
// runs, in rows counted from the top, for white and for the bottom-left pixel as transparent.
TEST(RegionFromBitmap, RandomBitmapsGiveTheRunsOfTheirPixels) {
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> size(1, 64);
    const double shares[] = {0.0, 0.1, 0.5, 0.9, 1.0};
    for (int i = 0; i < 300; ++i) {
        int width = size(random);
        int height = size(random);
        CPixels pixels = RandomPixels(random, width, height, shares[i % 5]);
        std::uint32_t asked = i % 2 ? W : kTransparentFromBottomLeft;
        std::uint32_t transparent = i % 2 ? W : pixels[height - 1][0];
        CRegionRows expected = OpaqueRows(width, height, [&pixels, transparent](int x, int y) {
            return pixels[y][x] != transparent;
        });
        CRegionRows rows = BuildRows(pixels, asked);
        ASSERT_EQ(expected, rows) << width << " x " << height << ", case " << i << "\n"
                                  << Describe(rows);
    }
}

TEST(RegionFromBitmap, AllTransparentBitmapGivesAnEmptyRegion) {
    HBITMAP bitmap = MakeBitmap({{W, W, W}, {W, W, W}});
    HRGN region = BuildRegionFromBitmap(bitmap, kTransparentFromBottomLeft);
    ASSERT_NE(nullptr, region);
    RECT box;
    EXPECT_EQ(NULLREGION, GetRgnBox(region, &box));
    DeleteObject(region);
    DeleteObject(bitmap);
}

TEST(RegionFromBitmap, DeviceDependentBitmapIsCopiedToo) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 6, 4);
    HDC drawing = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(drawing, bitmap);
    RECT all = {0, 0, 6, 4};
    RECT inner = {2, 1, 5, 3};
    FillRect(drawing, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FillRect(drawing, &inner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectObject(drawing, previous);
    DeleteDC(drawing);
    ReleaseDC(nullptr, screen);
    HRGN region = BuildRegionFromBitmap(bitmap, kTransparentFromBottomLeft);
    ASSERT_NE(nullptr, region);
    CRegionRows expected = {{1, {{2, 5}}}, {2, {{2, 5}}}};
    CRegionRows rows = ReadRegionRows(region);
    EXPECT_EQ(expected, rows) << Describe(rows);
    DeleteObject(region);
    DeleteObject(bitmap);
}

TEST(RegionFromBitmap, NoBitmapGivesNoRegion) {
    EXPECT_EQ(nullptr, BuildRegionFromBitmap(nullptr, kTransparentFromBottomLeft));
}

TEST(RegionFromBitmap, HandleThatIsNoBitmapGivesNoRegion) {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(nullptr, BuildRegionFromBitmap(reinterpret_cast<HBITMAP>(brush), 0));
    DeleteObject(brush);
    HBITMAP deleted = MakeBitmap({{B}});
    DeleteObject(deleted);
    EXPECT_EQ(nullptr, BuildRegionFromBitmap(deleted, 0));
}

TEST(RegionFromBitmap, BitmapSelectedElsewhereCannotBeCopiedAndGivesNoRegion) {
    HBITMAP bitmap = MakeBitmap({{B, W}, {W, B}});
    HDC holder = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(holder, bitmap);
    ASSERT_NE(nullptr, previous);
    // A bitmap can be selected into one context at a time, so the copy has no source.
    EXPECT_EQ(nullptr, BuildRegionFromBitmap(bitmap, W));
    SelectObject(holder, previous);
    DeleteDC(holder);
    DeleteObject(bitmap);
}

TEST(RegionFromBitmap, FailuresReleaseEverythingTheyMade) {
    HBITMAP bitmap = MakeBitmap({{B, W}, {W, B}});
    HDC holder = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(holder, bitmap);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    int before = CountCreatableRegions();
    for (int i = 0; i < 200; ++i) {
        BuildRegionFromBitmap(bitmap, W);  // copy fails: selected elsewhere
        BuildRegionFromBitmap(reinterpret_cast<HBITMAP>(brush), W);
    }
    EXPECT_EQ(before, CountCreatableRegions());
    DeleteObject(brush);
    SelectObject(holder, previous);
    DeleteDC(holder);
    DeleteObject(bitmap);
}

TEST(RegionFromBitmap, ShortOfHandlesGivesNoRegionOrTheWholeOne) {
    HBITMAP bitmap = LoadMascot();
    ASSERT_NE(nullptr, bitmap);
    CRegionRows mascot = MascotRows();
    // Fill the handle table, then free a few slots: with too few the builder must give no region
    // (an empty or partial one would make the mascot vanish or lose pixels); with enough, all of
    // it.
    std::vector<HRGN> filler;
    while (HRGN region = CreateRectRgn(0, 0, 1, 1)) filler.push_back(region);
    ASSERT_GT(filler.size(), 20u);
    bool built[8] = {};
    for (int free = 0; free < 8; ++free) {
        if (free > 0) {
            DeleteObject(filler.back());
            filler.pop_back();
        }
        HRGN region = BuildRegionFromBitmap(bitmap, kTransparentFromBottomLeft);
        if (!region) continue;
        built[free] = true;
        EXPECT_EQ(mascot, ReadRegionRows(region)) << free << " free slots";
        DeleteObject(region);
    }
    for (HRGN held : filler) DeleteObject(held);
    DeleteObject(bitmap);
    EXPECT_FALSE(built[0]);
    EXPECT_TRUE(built[7]);
}

TEST(RegionFromBitmap, SecondContextMissingCountsAsAFailedCopy) {
    HBITMAP bitmap = LoadMascot();
    ASSERT_NE(nullptr, bitmap);
    std::vector<HRGN> filler;
    while (HRGN region = CreateRectRgn(0, 0, 1, 1)) filler.push_back(region);
    for (int i = 0; i < 2; ++i) {
        DeleteObject(filler.back());
        filler.pop_back();
    }
    // Two slots hold the first context and the pixel buffer: the second context cannot be made,
    // so nothing is copied, and the builder gives no region rather than the shape of whatever
    // the new buffer held.
    HRGN region = BuildRegionFromBitmap(bitmap, kTransparentFromBottomLeft);
    for (HRGN held : filler) DeleteObject(held);
    EXPECT_EQ(nullptr, region);
    if (region) DeleteObject(region);
    DeleteObject(bitmap);
}

class WindowShape : public MascotWindowTest {};

TEST_F(WindowShape, ApplyShapeGivesTheWindowTheRegionAndRecordsIt) {
    SetWindowRgn(m_window, nullptr, FALSE);
    RemovePropA(m_window, kRegionProperty);
    HBITMAP bitmap = LoadMascot();
    ApplyShape(m_window, bitmap);
    HRGN shape = CopyWindowRegion(m_window);
    ASSERT_NE(nullptr, shape);
    EXPECT_EQ(MascotRows(), ReadRegionRows(shape));
    EXPECT_NE(nullptr, GetPropA(m_window, kRegionProperty));
    DeleteObject(shape);
    DeleteObject(bitmap);
}

TEST_F(WindowShape, NoBitmapGivesTheWholeWindowBackAndClearsTheProperty) {
    ASSERT_NE(nullptr, GetPropA(m_window, kRegionProperty));
    ApplyShape(m_window, nullptr);
    EXPECT_EQ(nullptr, CopyWindowRegion(m_window));
    EXPECT_EQ(nullptr, GetPropA(m_window, kRegionProperty));
}

TEST_F(WindowShape, RegionTheWindowRefusesIsFreed) {
    HBITMAP bitmap = LoadMascot();
    HWND gone = CreateWindowExA(0, "STATIC", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    DestroyWindow(gone);
    int before = CountCreatableRegions();
    for (int i = 0; i < 100; ++i) ApplyShape(gone, bitmap);
    EXPECT_EQ(before, CountCreatableRegions());
    DeleteObject(bitmap);
}
