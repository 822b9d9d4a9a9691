// Reading regions back as rows of horizontal runs, and making small test bitmaps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Columns first .. end - 1 of one row.
struct CRun {
    int first;
    int end;
    bool operator==(const CRun& other) const { return first == other.first && end == other.end; }
};

// Runs of each row the region touches, by row, each row's runs from left to right.
using CRegionRows = std::map<int, std::vector<CRun>>;

CRegionRows ReadRegionRows(HRGN region);

// The rectangles of a region exactly as the graphics system stores them.
std::vector<RECT> ReadRegionRects(HRGN region);

// The runs of the pixels of a width x height image (top row 0) where `opaque(x, y)` holds, row
// by row: the region a bitmap's shape must give, worked out apart from the builder's scan.
CRegionRows OpaqueRows(int width, int height, const std::function<bool(int, int)>& opaque);

// The runs of the non-white pixels of the mascot image, row by row.
CRegionRows MascotRows();

std::string Describe(const CRegionRows& rows);

// A 32-bit bitmap of the given rows (top row first, 0x00RRGGBB values); the caller deletes it.
HBITMAP MakeBitmap(const std::vector<std::vector<std::uint32_t>>& rows);

// A copy of the window's region, or null when it has none; the caller deletes it.
HRGN CopyWindowRegion(HWND window);
