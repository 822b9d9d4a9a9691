// The images as the program loads them: bitmap 133 and icon 131 (menu 128 is checked against
// the shared menu table in menu_layout_test.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/mascot_image.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

// The raw resource data, as the resource compiler stored it.
const std::uint8_t* RawResource(int id, LPCSTR type, DWORD& size) {
    HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(id), type);
    if (!found) return nullptr;
    size = SizeofResource(Module(), found);
    return static_cast<const std::uint8_t*>(LockResource(LoadResource(Module(), found)));
}

// The standard 16-colour palette, 0x00RRGGBB by index.
constexpr std::uint32_t kStandardPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
constexpr int kIndexNavy = 4;

std::uint32_t Rgb(const RGBQUAD& quad) {
    return (quad.rgbRed << 16) | (quad.rgbGreen << 8) | quad.rgbBlue;
}

// Palette index of pixel (x, y) of a bottom-up 4-bit image, y counted from the top.
int IndexAt4Bit(const std::uint8_t* bits, int width, int height, int x, int y) {
    int stride = ((width * 4 + 31) / 32) * 4;
    std::uint8_t pair = bits[(height - 1 - y) * stride + x / 2];
    return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
}

bool MaskBitAt(const std::uint8_t* mask, int width, int height, int x, int y) {
    int stride = ((width + 31) / 32) * 4;
    return (mask[(height - 1 - y) * stride + x / 8] & (0x80 >> (x % 8))) != 0;
}

void ExpectStandardPalette(const RGBQUAD* palette) {
    for (int i = 0; i < 16; ++i) EXPECT_EQ(kStandardPalette[i], Rgb(palette[i])) << "entry " << i;
}

}  // namespace

TEST(MascotBitmap, ResourceIsA40By40FourBitImageWithTheStandardPalette) {
    DWORD size = 0;
    const std::uint8_t* data = RawResource(IDB_MASCOT, MAKEINTRESOURCEA(2) /* RT_BITMAP */, size);
    ASSERT_NE(nullptr, data);
    const BITMAPINFOHEADER* header = reinterpret_cast<const BITMAPINFOHEADER*>(data);
    EXPECT_EQ(kMascotSize, header->biWidth);
    EXPECT_EQ(kMascotSize, header->biHeight);
    EXPECT_EQ(4, header->biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), header->biCompression);
    ExpectStandardPalette(reinterpret_cast<const RGBQUAD*>(data + header->biSize));
}

TEST(MascotBitmap, EveryPixelIndexMatchesTheImageTable) {
    DWORD size = 0;
    const std::uint8_t* data = RawResource(IDB_MASCOT, MAKEINTRESOURCEA(2), size);
    ASSERT_NE(nullptr, data);
    const std::uint8_t* bits = data + sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD);
    ASSERT_LE(static_cast<DWORD>(bits - data) + 20 * kMascotSize, size);
    for (int y = 0; y < kMascotSize; ++y) {
        for (int x = 0; x < kMascotSize; ++x) {
            EXPECT_EQ(MascotIndexAt(x, y), IndexAt4Bit(bits, kMascotSize, kMascotSize, x, y))
                << "pixel (" << x << ", " << y << ")";
        }
    }
}

TEST(MascotBitmap, LoadedBitmapShowsTheTableColours) {
    HBITMAP bitmap = LoadBitmapA(Module(), MAKEINTRESOURCEA(IDB_MASCOT));
    ASSERT_NE(nullptr, bitmap);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kMascotSize;
    info.bmiHeader.biHeight = -kMascotSize;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(kMascotSize * kMascotSize);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, kMascotSize, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    ASSERT_EQ(kMascotSize, rows);
    for (int y = 0; y < kMascotSize; ++y) {
        for (int x = 0; x < kMascotSize; ++x) {
            EXPECT_EQ(MascotRgbAt(x, y), pixels[y * kMascotSize + x] & 0xFFFFFF)
                << "pixel (" << x << ", " << y << ")";
        }
    }
}

TEST(TrayIcon, ResourceHoldsOne32By32SixteenColourImage) {
    DWORD size = 0;
    const std::uint8_t* group =
        RawResource(IDI_TRAY_ICON, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, size);
    ASSERT_NE(nullptr, group);
    ASSERT_GE(size, 6u + 14u);
    EXPECT_EQ(1, group[4] | (group[5] << 8));  // image count
    const std::uint8_t* entry = group + 6;
    EXPECT_EQ(32, entry[0]);
    EXPECT_EQ(32, entry[1]);
    EXPECT_EQ(16, entry[2]);                   // colours
    EXPECT_EQ(4, entry[6] | (entry[7] << 8));  // bits per pixel
}

TEST(TrayIcon, ImageIsABlueDiscWithADarkBlueRimOnATransparentGround) {
    DWORD size = 0;
    const std::uint8_t* group = RawResource(IDI_TRAY_ICON, MAKEINTRESOURCEA(14), size);
    ASSERT_NE(nullptr, group);
    int imageId = group[6 + 12] | (group[6 + 13] << 8);
    const std::uint8_t* image = RawResource(imageId, MAKEINTRESOURCEA(3) /* RT_ICON */, size);
    ASSERT_NE(nullptr, image);
    const BITMAPINFOHEADER* header = reinterpret_cast<const BITMAPINFOHEADER*>(image);
    ASSERT_EQ(32, header->biWidth);
    ASSERT_EQ(64, header->biHeight);  // colour rows, then mask rows
    ASSERT_EQ(4, header->biBitCount);
    ExpectStandardPalette(reinterpret_cast<const RGBQUAD*>(image + header->biSize));
    const std::uint8_t* colours = image + header->biSize + 16 * sizeof(RGBQUAD);
    const std::uint8_t* mask = colours + 16 * 32;
    const int corners[4][2] = {{0, 0}, {31, 0}, {0, 31}, {31, 31}};
    for (const auto& corner : corners) {
        EXPECT_TRUE(MaskBitAt(mask, 32, 32, corner[0], corner[1])) << "corner transparent";
    }
    EXPECT_FALSE(MaskBitAt(mask, 32, 32, 16, 16));
    EXPECT_EQ(kIndexBlue, IndexAt4Bit(colours, 32, 32, 16, 16));
    // Down the middle column: transparent ground, then the rim, then blue.
    int y = 0;
    while (y < 16 && MaskBitAt(mask, 32, 32, 16, y)) ++y;
    ASSERT_LT(y, 16);
    EXPECT_EQ(kIndexNavy, IndexAt4Bit(colours, 32, 32, 16, y));
    EXPECT_EQ(kIndexBlue, IndexAt4Bit(colours, 32, 32, 16, y + 3));
}

TEST(TrayIcon, LoadsScaledTo16By16) {
    HICON icon = static_cast<HICON>(
        LoadImageA(Module(), MAKEINTRESOURCEA(IDI_TRAY_ICON), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    ASSERT_NE(nullptr, icon);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour = {};
    ASSERT_NE(0, GetObjectA(info.hbmColor, sizeof colour, &colour));
    EXPECT_EQ(16, colour.bmWidth);
    EXPECT_EQ(16, colour.bmHeight);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}
