// The image's pixels in the layout the X server wants for the window's visual.
#pragma once

#include <cstdint>
#include <vector>

struct CVisualFormat {
    std::uint32_t redMask;  // the channel masks of a TrueColor visual
    std::uint32_t greenMask;
    std::uint32_t blueMask;
    int bitsPerPixel;  // of the visual's depth in the server's pixmap formats
    int scanlinePad;   // bits each row of ZPixmap data is padded to
    bool lsbFirst;     // the server's image byte order
};

// One pixel value of a TrueColor visual for a colour 0x00RRGGBB: each channel scaled to its
// mask.
std::uint32_t PixelValue(std::uint32_t rgb, const CVisualFormat& format);

// Rows of `width` pixel values as ZPixmap data; empty when the format's pixels are not whole
// bytes (8, 16, 24 or 32 bits), which the host cannot draw.
std::vector<std::uint8_t> ZPixmapBytes(const std::vector<std::uint32_t>& values, int width,
                                       const CVisualFormat& format);
