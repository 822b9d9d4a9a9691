// The mascot window's shape: the bitmap copied into a 32-bit pixel buffer, each row scanned into
// its runs of non-transparent pixels (host/shared/pixel_runs.h), one rectangle per run united
// into the region, and the region given to the window.
#include "host/win32/shape.h"

#include <cstddef>

#include "host/shared/pixel_runs.h"

// ---- The bitmap as pixels -----------------------------------------------------------------------
// The bitmap copied through two memory contexts into a bottom-up 32-bit pixel buffer.

namespace {

bool ReadBitmapSize(HBITMAP bitmap, int& width, int& height) {
    BITMAP description = {};
    // Anything but a bitmap answers with another size (or 0).
    if (GetObjectA(bitmap, sizeof description, &description) != sizeof description) return false;
    if (description.bmWidth <= 0 || description.bmHeight <= 0) return false;
    width = description.bmWidth;
    height = description.bmHeight;
    return true;
}

HBITMAP CreatePixelBuffer(HDC context, int width, int height, void** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: the first row in memory is the bottom row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(context, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// Copies the bitmap into the buffer selected into `target`. A second context that cannot be
// made, or a bitmap that cannot be selected into it (one already selected into another context,
// or one of another device), counts as a failed copy: BitBlt would then copy the context's
// placeholder bitmap and the shape would not be the bitmap's.
bool CopyBitmapInto(HDC target, HBITMAP bitmap, int width, int height) {
    HDC source = CreateCompatibleDC(target);
    if (!source) return false;
    HGDIOBJ previous = SelectObject(source, bitmap);
    bool copied = previous && BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
    if (previous) SelectObject(source, previous);
    DeleteDC(source);
    return copied;
}

// The bitmap as 32-bit pixels; the returned section owns them. Null when any step fails, with
// everything made so far released.
HBITMAP CopyToPixelBuffer(HBITMAP bitmap, int width, int height, const std::uint32_t** pixels) {
    HDC target = CreateCompatibleDC(nullptr);
    if (!target) return nullptr;
    void* bits = nullptr;
    HBITMAP buffer = CreatePixelBuffer(target, width, height, &bits);
    if (!buffer) {
        DeleteDC(target);
        return nullptr;
    }
    HGDIOBJ previous = SelectObject(target, buffer);
    bool copied = previous && CopyBitmapInto(target, bitmap, width, height);
    if (previous) SelectObject(target, previous);
    DeleteDC(target);
    if (!copied) {
        DeleteObject(buffer);
        return nullptr;
    }
    GdiFlush();  // the copy must have landed before the bits are read
    *pixels = static_cast<const std::uint32_t*>(bits);
    return buffer;
}

}  // namespace

// ---- The region ---------------------------------------------------------------------------------
// The row scan of the pixel buffer into a region, and the region given to the window.

namespace {

bool AddRun(HRGN region, int x0, int x1, int y) {
    HRGN run = CreateRectRgn(x0, y, x1, y + 1);
    if (!run) return false;
    int combined = CombineRgn(region, region, run, RGN_OR);
    DeleteObject(run);
    return combined != ERROR;
}

// `pixels` holds `height` rows of `width` values, bottom row first; they are scanned in memory
// order, so the image's rows come from the bottom up.
HRGN BuildRegionFromPixels(const std::uint32_t* pixels, int width, int height,
                           std::uint32_t transparent) {
    if (transparent == kTransparentFromBottomLeft) transparent = pixels[0];
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (!region) return nullptr;
    for (int i = 0; i < height; ++i) {
        const std::uint32_t* row = pixels + static_cast<std::size_t>(i) * width;
        int y = height - 1 - i;
        bool added = ForEachRun(row, width, transparent,
                                [region, y](int x0, int x1) { return AddRun(region, x0, x1, y); });
        // A region missing a run would be a wrong shape: give none rather than that.
        if (!added) {
            DeleteObject(region);
            return nullptr;
        }
    }
    return region;
}

}  // namespace

void ApplyShape(HWND window, HBITMAP bitmap) {
    HRGN region = BuildRegionFromBitmap(bitmap, kTransparentFromBottomLeft);
    // Once the window has taken a region the window system owns it and frees it when it is
    // replaced or the window goes; only a region it refused is still ours to free.
    if (!SetWindowRgn(window, region, TRUE)) {
        if (region) DeleteObject(region);
        return;
    }
    if (region) {
        SetPropA(window, kRegionProperty, region);
        return;
    }
    RemovePropA(window, kRegionProperty);
}

HRGN BuildRegionFromBitmap(HBITMAP bitmap, std::uint32_t transparent) {
    if (!bitmap) return nullptr;
    int width = 0;
    int height = 0;
    if (!ReadBitmapSize(bitmap, width, height)) return nullptr;
    const std::uint32_t* pixels = nullptr;
    HBITMAP buffer = CopyToPixelBuffer(bitmap, width, height, &pixels);
    if (!buffer) return nullptr;
    HRGN region = BuildRegionFromPixels(pixels, width, height, transparent);
    DeleteObject(buffer);
    return region;
}
