// Region read-back and test bitmaps.
#include "support/region_rows.h"

#include <sstream>

#include "support/mascot_image.h"

std::vector<RECT> ReadRegionRects(HRGN region) {
    DWORD size = GetRegionData(region, 0, nullptr);
    if (size == 0) return {};
    std::vector<std::uint8_t> buffer(size);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (GetRegionData(region, size, data) == 0) return {};
    const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
    return std::vector<RECT>(rects, rects + data->rdh.nCount);
}

CRegionRows ReadRegionRows(HRGN region) {
    CRegionRows rows;
    // The system merges rows with equal runs into taller rectangles: split them again.
    for (const RECT& rect : ReadRegionRects(region)) {
        for (int y = rect.top; y < rect.bottom; ++y) rows[y].push_back({rect.left, rect.right});
    }
    return rows;
}

CRegionRows OpaqueRows(int width, int height, const std::function<bool(int, int)>& opaque) {
    CRegionRows rows;
    for (int y = 0; y < height; ++y) {
        int x = 0;
        while (x < width) {
            if (!opaque(x, y)) {
                ++x;
                continue;
            }
            int first = x;
            while (x < width && opaque(x, y)) ++x;
            rows[y].push_back({first, x});
        }
    }
    return rows;
}

CRegionRows MascotRows() {
    return OpaqueRows(kMascotSize, kMascotSize,
                      [](int x, int y) { return MascotIndexAt(x, y) != kIndexWhite; });
}

std::string Describe(const CRegionRows& rows) {
    std::ostringstream text;
    for (const auto& [y, runs] : rows) {
        text << "row " << y << ":";
        for (const CRun& run : runs) text << " " << run.first << ".." << run.end - 1;
        text << "\n";
    }
    return text.str();
}

HBITMAP MakeBitmap(const std::vector<std::vector<std::uint32_t>>& rows) {
    int height = static_cast<int>(rows.size());
    int width = height ? static_cast<int>(rows[0].size()) : 0;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, like the rows given
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    std::uint32_t* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels[y * width + x] = rows[y][x];
    }
    return bitmap;
}

HRGN CopyWindowRegion(HWND window) {
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window, copy) == ERROR) {
        DeleteObject(copy);
        return nullptr;
    }
    return copy;
}
