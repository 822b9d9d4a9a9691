// Colour channels into visual masks, and pixel values into server byte order and row padding.
#include "host/x11/pixel_format.h"

namespace {

// An 8-bit channel value spread over the bits of `mask`.
std::uint32_t ScaleToMask(std::uint32_t channel, std::uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) ++shift;
    std::uint32_t maximum = mask >> shift;
    return ((channel * maximum + 127) / 255) << shift;
}

bool IsWholeBytes(int bitsPerPixel) {
    return bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
}

}  // namespace

std::uint32_t PixelValue(std::uint32_t rgb, const CVisualFormat& format) {
    return ScaleToMask((rgb >> 16) & 0xFFu, format.redMask) |
           ScaleToMask((rgb >> 8) & 0xFFu, format.greenMask) |
           ScaleToMask(rgb & 0xFFu, format.blueMask);
}

std::vector<std::uint8_t> ZPixmapBytes(const std::vector<std::uint32_t>& values, int width,
                                       const CVisualFormat& format) {
    std::vector<std::uint8_t> bytes;
    if (!IsWholeBytes(format.bitsPerPixel) || width <= 0) return bytes;
    const int pixelBytes = format.bitsPerPixel / 8;
    const int padBytes = format.scanlinePad >= 8 ? format.scanlinePad / 8 : 1;
    const std::size_t rowBytes =
        (static_cast<std::size_t>(width) * pixelBytes + padBytes - 1) / padBytes * padBytes;
    const std::size_t rows = values.size() / static_cast<std::size_t>(width);
    bytes.assign(rowBytes * rows, 0);
    for (std::size_t i = 0; i < rows * width; ++i) {
        std::uint8_t* at = &bytes[i / width * rowBytes + i % width * pixelBytes];
        for (int b = 0; b < pixelBytes; ++b) {
            int shift = format.lsbFirst ? 8 * b : 8 * (pixelBytes - 1 - b);
            at[b] = static_cast<std::uint8_t>(values[i] >> shift);
        }
    }
    return bytes;
}
