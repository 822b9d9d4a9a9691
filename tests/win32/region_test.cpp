// The row scan both region builders share, then the builders (the quick one behind
// BuildRegionFromBitmap and the run-by-run one) and ApplyShape, on real bitmaps and windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "host/shared/pixel_runs.h"
#include "host/win32/window.h"
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

using CBuilder = HRGN (*)(HBITMAP, std::uint32_t);

struct CNamedBuilder {
    const char* name;
    CBuilder build;
};

// Names the builder in test output.
void PrintTo(const CNamedBuilder& builder, std::ostream* out) { *out << builder.name; }

}  // namespace

// The edge cases of a row live here, once: the builders only add the rows' order, the
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

// Every case runs with both builders: they must agree on every bitmap.
class RegionFromBitmap : public ::testing::TestWithParam<CNamedBuilder> {
protected:
    HRGN Build(HBITMAP bitmap, std::uint32_t transparent) {
        return GetParam().build(bitmap, transparent);
    }

    // Builds from a bitmap of the given rows and reads the region back; deletes both.
    CRegionRows BuildRows(const std::vector<std::vector<std::uint32_t>>& pixels,
                          std::uint32_t transparent) {
        HBITMAP bitmap = MakeBitmap(pixels);
        HRGN region = Build(bitmap, transparent);
        CRegionRows rows = region ? ReadRegionRows(region) : CRegionRows{};
        if (region) DeleteObject(region);
        DeleteObject(bitmap);
        return rows;
    }
};

INSTANTIATE_TEST_SUITE_P(Builders, RegionFromBitmap,
                         ::testing::Values(CNamedBuilder{"Quick", BuildRegionFromBitmap},
                                           CNamedBuilder{"RunByRun", BuildRegionRunByRun}),
                         [](const ::testing::TestParamInfo<CNamedBuilder>& info) {
                             return std::string(info.param.name);
                         });

TEST_P(RegionFromBitmap, MascotGivesOneRunPerRowOfTheImage) {
    HBITMAP bitmap = LoadMascot();
    ASSERT_NE(nullptr, bitmap);
    HRGN region = Build(bitmap, kTransparentFromBottomLeft);
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

TEST_P(RegionFromBitmap, BottomLeftPixelChoosesTheTransparentColour) {
    // Top-left is white, bottom-left red: with -1 the red pixels are the transparent ones.
    CRegionRows rows =
        BuildRows({{W, W, R, R}, {R, W, W, R}, {R, R, W, W}}, kTransparentFromBottomLeft);
    CRegionRows expected = {{0, {{0, 2}}}, {1, {{1, 3}}}, {2, {{2, 4}}}};
    EXPECT_EQ(expected, rows) << Describe(rows);
}

TEST_P(RegionFromBitmap, AllTransparentBitmapGivesAnEmptyRegion) {
    HBITMAP bitmap = MakeBitmap({{W, W, W}, {W, W, W}});
    HRGN region = Build(bitmap, kTransparentFromBottomLeft);
    ASSERT_NE(nullptr, region);
    RECT box;
    EXPECT_EQ(NULLREGION, GetRgnBox(region, &box));
    DeleteObject(region);
    DeleteObject(bitmap);
}

TEST_P(RegionFromBitmap, DeviceDependentBitmapIsCopiedToo) {
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
    HRGN region = Build(bitmap, kTransparentFromBottomLeft);
    ASSERT_NE(nullptr, region);
    CRegionRows expected = {{1, {{2, 5}}}, {2, {{2, 5}}}};
    CRegionRows rows = ReadRegionRows(region);
    EXPECT_EQ(expected, rows) << Describe(rows);
    DeleteObject(region);
    DeleteObject(bitmap);
}

TEST_P(RegionFromBitmap, NoBitmapGivesNoRegion) {
    EXPECT_EQ(nullptr, Build(nullptr, kTransparentFromBottomLeft));
}

TEST_P(RegionFromBitmap, HandleThatIsNoBitmapGivesNoRegion) {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(nullptr, Build(reinterpret_cast<HBITMAP>(brush), 0));
    DeleteObject(brush);
    HBITMAP deleted = MakeBitmap({{B}});
    DeleteObject(deleted);
    EXPECT_EQ(nullptr, Build(deleted, 0));
}

TEST_P(RegionFromBitmap, BitmapSelectedElsewhereCannotBeCopiedAndGivesNoRegion) {
    HBITMAP bitmap = MakeBitmap({{B, W}, {W, B}});
    HDC holder = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(holder, bitmap);
    ASSERT_NE(nullptr, previous);
    // A bitmap can be selected into one context at a time, so the copy has no source.
    EXPECT_EQ(nullptr, Build(bitmap, W));
    SelectObject(holder, previous);
    DeleteDC(holder);
    DeleteObject(bitmap);
}

TEST_P(RegionFromBitmap, FailuresReleaseEverythingTheyMade) {
    HBITMAP bitmap = MakeBitmap({{B, W}, {W, B}});
    HDC holder = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(holder, bitmap);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    int before = CountCreatableRegions();
    for (int i = 0; i < 200; ++i) {
        Build(bitmap, W);  // copy fails: selected elsewhere
        Build(reinterpret_cast<HBITMAP>(brush), W);
    }
    EXPECT_EQ(before, CountCreatableRegions());
    DeleteObject(brush);
    SelectObject(holder, previous);
    DeleteDC(holder);
    DeleteObject(bitmap);
}

TEST_P(RegionFromBitmap, ShortOfHandlesGivesNoRegionOrTheWholeOne) {
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
        HRGN region = Build(bitmap, kTransparentFromBottomLeft);
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

TEST(RunByRunBuilder, SecondContextMissingCountsAsAFailedCopy) {
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
    HRGN region = BuildRegionRunByRun(bitmap, kTransparentFromBottomLeft);
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
