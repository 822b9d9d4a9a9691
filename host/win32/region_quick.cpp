// BuildRegionQuickly: GetDIBits into a fixed buffer, the runs into a fixed rectangle list, and
// one ExtCreateRegion. Nothing is allocated: bitmaps larger than the buffers take the
// run-by-run way.
#include "host/win32/region_quick.h"

#include "host/win32/pixel_runs.h"
#include "host/win32/region.h"

namespace {

constexpr int kMaxQuickPixels = 64 * 64;
constexpr int kMaxQuickRects = 2048;

// RGNDATA with room for the rectangles: the header is followed directly by them.
struct CRectList {
    RGNDATAHEADER header;
    RECT rects[kMaxQuickRects];
};

// Reads the bitmap as bottom-up 32-bit pixels, the layout of the run-by-run builder's buffer.
// A bitmap that cannot be selected into a context (one selected into another) is not read, as
// the run-by-run builder cannot copy it either.
bool ReadPixels(HBITMAP bitmap, int width, int height, std::uint32_t* pixels) {
    HDC context = CreateCompatibleDC(nullptr);
    if (!context) return false;
    HGDIOBJ previous = SelectObject(context, bitmap);
    if (previous) SelectObject(context, previous);
    BITMAPINFO info = BottomUp32BitInfo(width, height);
    bool read =
        previous && GetDIBits(context, bitmap, 0, height, pixels, &info, DIB_RGB_COLORS) == height;
    DeleteDC(context);
    return read;
}

bool AddRect(CRectList& list, int x0, int x1, int y) {
    if (list.header.nCount >= static_cast<DWORD>(kMaxQuickRects)) return false;
    RECT& rect = list.rects[list.header.nCount++];
    rect = {x0, y, x1, y + 1};
    RECT& bound = list.header.rcBound;
    if (list.header.nCount == 1) {
        bound = rect;
        return true;
    }
    if (x0 < bound.left) bound.left = x0;
    if (x1 > bound.right) bound.right = x1;
    if (y < bound.top) bound.top = y;
    if (y + 1 > bound.bottom) bound.bottom = y + 1;
    return true;
}

// The runs of every row, found by the same scan as the run-by-run builder's. FitsQuickBuilder
// makes sure that the list has room for every run; false if it had not.
bool CollectRuns(const std::uint32_t* pixels, int width, int height, std::uint32_t transparent,
                 CRectList& list) {
    for (int i = 0; i < height; ++i) {
        int y = height - 1 - i;
        bool added = ForEachRun(pixels + i * width, width, transparent,
                                [&list, y](int x0, int x1) { return AddRect(list, x0, x1, y); });
        if (!added) return false;
    }
    return true;
}

}  // namespace

bool FitsQuickBuilder(int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaxQuickPixels || height > kMaxQuickPixels) {
        return false;
    }
    // Runs are separated by at least one transparent pixel: at most (width + 1) / 2 a row.
    return width * height <= kMaxQuickPixels && (width + 1) / 2 * height <= kMaxQuickRects;
}

HRGN BuildRegionQuickly(HBITMAP bitmap, int width, int height, std::uint32_t transparent) {
    if (!FitsQuickBuilder(width, height)) return nullptr;
    std::uint32_t pixels[kMaxQuickPixels];
    if (!ReadPixels(bitmap, width, height, pixels)) return nullptr;
    if (transparent == kTransparentFromBottomLeft) transparent = pixels[0];
    CRectList list;
    list.header = {};
    list.header.dwSize = sizeof list.header;
    list.header.iType = RDH_RECTANGLES;
    if (!CollectRuns(pixels, width, height, transparent, list)) return nullptr;
    DWORD size = sizeof list.header + list.header.nCount * sizeof(RECT);
    list.header.nRgnSize = list.header.nCount * sizeof(RECT);
    return ExtCreateRegion(nullptr, size, reinterpret_cast<const RGNDATA*>(&list));
}
