// An image as 32-bit pixels, and the mascot's image as the program carries it.
#pragma once

#include <cstdint>
#include <vector>

struct CImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
};

// The mascot bitmap (resources/mascot.bmp, built into the program); empty if it cannot be read.
CImage LoadMascotImage();
