// Colour channels into visual masks, and pixels into server byte order.
#include "host/x11/pixel_format.h"

namespace {

constexpr int kBytesPerPixel = 4;

// An 8-bit channel value spread over the bits of `mask`.
std::uint32_t ScaleToMask(std::uint32_t channel, std::uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) ++shift;
    std::uint32_t maximum = mask >> shift;
    return ((channel * maximum + 127) / 255) << shift;
}

}  // namespace

std::uint32_t PixelValue(std::uint32_t rgb, const CVisualFormat& format) {
    return ScaleToMask((rgb >> 16) & 0xFFu, format.redMask) |
           ScaleToMask((rgb >> 8) & 0xFFu, format.greenMask) |
           ScaleToMask(rgb & 0xFFu, format.blueMask);
}

std::vector<std::uint8_t> ZPixmapBytes(const CImage& image, const CVisualFormat& format) {
    std::vector<std::uint8_t> bytes;
    if (format.bitsPerPixel != 32) return bytes;
    bytes.reserve(image.pixels.size() * kBytesPerPixel);
    for (std::uint32_t rgb : image.pixels) {
        std::uint32_t value = PixelValue(rgb, format);
        for (int i = 0; i < kBytesPerPixel; ++i) {
            int shift = format.lsbFirst ? 8 * i : 8 * (kBytesPerPixel - 1 - i);
            bytes.push_back(static_cast<std::uint8_t>(value >> shift));
        }
    }
    return bytes;
}
