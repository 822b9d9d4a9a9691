// The image's pixels in the server's format: channel scaling to the visual's masks and the
// byte order of the ZPixmap data.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/x11/mascot_window.h"

namespace {

constexpr CVisualFormat kDepth24 = {0xFF0000, 0x00FF00, 0x0000FF, 32, 32, true};
constexpr CVisualFormat kDepth30 = {0x3FF00000, 0x000FFC00, 0x000003FF, 32, 32, true};
constexpr CVisualFormat kBgr24 = {0x0000FF, 0x00FF00, 0xFF0000, 32, 32, true};
constexpr CVisualFormat kArgb32 = {0xFF0000, 0x00FF00, 0x0000FF, 32, 32, true, 0xFF000000};

}  // namespace

TEST(PixelFormat, ChannelsScaleToTheirMasks) {
    EXPECT_EQ(0x0000FFu, PixelValue(0x0000FF, kDepth24));
    EXPECT_EQ(0x123456u, PixelValue(0x123456, kDepth24));
    EXPECT_EQ(0xFF0000u, PixelValue(0x0000FF, kBgr24));  // blue lands in the high byte
    EXPECT_EQ(0x3FFFFFFFu, PixelValue(0xFFFFFF, kDepth30));
    EXPECT_EQ(0x000003FFu, PixelValue(0x0000FF, kDepth30));
    EXPECT_EQ(0u, PixelValue(0x000000, kDepth30));
    constexpr CVisualFormat k565 = {0xF800, 0x07E0, 0x001F, 16, 32, true};
    EXPECT_EQ(0xFFFFu, PixelValue(0xFFFFFF, k565));
    EXPECT_EQ(0x001Fu, PixelValue(0x0000FF, k565));
    EXPECT_EQ(0xFF0000FFu, PixelValue(0x0000FF, kArgb32));  // opaque
    EXPECT_EQ(0xFF000000u, PixelValue(0x000000, kArgb32));
}

// Outside the shape (the bottom-left pixel's colour) transparent only where there is alpha.
TEST(PixelFormat, PixelsOutsideTheShapeAreTransparentOnAnAlphaVisual) {
    const CImage image = {2, 2, {0xFFFFFF, 0x0000FF, 0xFFFFFF, 0x000000}};
    EXPECT_EQ((std::vector<std::uint32_t>{0, 0xFF0000FF, 0, 0xFF000000}),
              TrueColorValues(image, kArgb32));
    EXPECT_EQ((std::vector<std::uint32_t>{0xFFFFFF, 0x0000FF, 0xFFFFFF, 0}),
              TrueColorValues(image, kDepth24));
    EXPECT_TRUE(TrueColorValues(CImage{}, kArgb32).empty());
}

TEST(PixelFormat, ZPixmapBytesFollowTheServersByteOrderAndRowPadding) {
    const std::vector<std::uint32_t> values = {0x0000FF, 0x112233};
    EXPECT_EQ((std::vector<std::uint8_t>{0xFF, 0, 0, 0, 0x33, 0x22, 0x11, 0}),
              ZPixmapBytes(values, 2, kDepth24));
    CVisualFormat msbFirst = kDepth24;
    msbFirst.lsbFirst = false;
    EXPECT_EQ((std::vector<std::uint8_t>{0, 0, 0, 0xFF, 0, 0x11, 0x22, 0x33}),
              ZPixmapBytes(values, 2, msbFirst));
    // One pixel a row: 16-bit and packed 24-bit rows are padded to 32 bits.
    constexpr CVisualFormat k565 = {0xF800, 0x07E0, 0x001F, 16, 32, true};
    EXPECT_EQ((std::vector<std::uint8_t>{0xFF, 0, 0, 0, 0x33, 0x22, 0, 0}),
              ZPixmapBytes(values, 1, k565));
    CVisualFormat packed = kDepth24;
    packed.bitsPerPixel = 24;
    EXPECT_EQ((std::vector<std::uint8_t>{0xFF, 0, 0, 0x33, 0x22, 0x11, 0, 0}),
              ZPixmapBytes(values, 2, packed));
    EXPECT_EQ(8u, ZPixmapBytes(values, 1, packed).size());
}

TEST(PixelFormat, PixelsOfLessThanAByteAreNotDrawn) {
    CVisualFormat four = kDepth24;
    four.bitsPerPixel = 4;
    EXPECT_TRUE(ZPixmapBytes({0, 0}, 2, four).empty());
    EXPECT_TRUE(ZPixmapBytes({0, 0}, 0, kDepth24).empty());
}
