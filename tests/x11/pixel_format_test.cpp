// The image's pixels in the server's format: channel scaling to the visual's masks and the
// byte order of the ZPixmap data.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/x11/pixel_format.h"

namespace {

constexpr CVisualFormat kDepth24 = {0xFF0000, 0x00FF00, 0x0000FF, 32, true};
constexpr CVisualFormat kDepth30 = {0x3FF00000, 0x000FFC00, 0x000003FF, 32, true};
constexpr CVisualFormat kBgr24 = {0x0000FF, 0x00FF00, 0xFF0000, 32, true};

}  // namespace

TEST(PixelFormat, ChannelsScaleToTheirMasks) {
    EXPECT_EQ(0x0000FFu, PixelValue(0x0000FF, kDepth24));
    EXPECT_EQ(0x123456u, PixelValue(0x123456, kDepth24));
    EXPECT_EQ(0xFF0000u, PixelValue(0x0000FF, kBgr24));  // blue lands in the high byte
    EXPECT_EQ(0x3FFFFFFFu, PixelValue(0xFFFFFF, kDepth30));
    EXPECT_EQ(0x000003FFu, PixelValue(0x0000FF, kDepth30));
    EXPECT_EQ(0u, PixelValue(0x000000, kDepth30));
    constexpr CVisualFormat k565 = {0xF800, 0x07E0, 0x001F, 16, true};
    EXPECT_EQ(0xFFFFu, PixelValue(0xFFFFFF, k565));
    EXPECT_EQ(0x001Fu, PixelValue(0x0000FF, k565));
}

TEST(PixelFormat, ZPixmapBytesFollowTheServersByteOrder) {
    CImage image;
    image.width = 2;
    image.height = 1;
    image.pixels = {0x0000FF, 0x112233};
    std::vector<std::uint8_t> lsb = ZPixmapBytes(image, kDepth24);
    EXPECT_EQ((std::vector<std::uint8_t>{0xFF, 0, 0, 0, 0x33, 0x22, 0x11, 0}), lsb);
    CVisualFormat msbFirst = kDepth24;
    msbFirst.lsbFirst = false;
    std::vector<std::uint8_t> msb = ZPixmapBytes(image, msbFirst);
    EXPECT_EQ((std::vector<std::uint8_t>{0, 0, 0, 0xFF, 0, 0x11, 0x22, 0x33}), msb);
}

TEST(PixelFormat, OnlyThirtyTwoBitPixelsAreDrawn) {
    CImage image;
    image.width = 1;
    image.height = 1;
    image.pixels = {0x0000FF};
    CVisualFormat sixteen = kDepth24;
    sixteen.bitsPerPixel = 16;
    EXPECT_TRUE(ZPixmapBytes(image, sixteen).empty());
    EXPECT_EQ(4u, ZPixmapBytes(image, kDepth24).size());
}
