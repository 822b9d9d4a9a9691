// The image's pixels in the layout the X server wants for the window's visual.
#pragma once

#include <cstdint>
#include <vector>

#include "host/x11/image.h"

struct CVisualFormat {
    std::uint32_t redMask;
    std::uint32_t greenMask;
    std::uint32_t blueMask;
    int bitsPerPixel;  // of the visual's depth in the server's pixmap formats
    bool lsbFirst;     // the server's image byte order
};

// One pixel value of the visual for a colour 0x00RRGGBB: each channel scaled to its mask.
std::uint32_t PixelValue(std::uint32_t rgb, const CVisualFormat& format);

// The image as ZPixmap data; empty when the format has no 32 bits per pixel (16-bit and 8-bit
// displays are not drawn: the window then keeps its background colour).
std::vector<std::uint8_t> ZPixmapBytes(const CImage& image, const CVisualFormat& format);
