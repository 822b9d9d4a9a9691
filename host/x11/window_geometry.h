// Where and how large the mascot window is, and how often it moves.
#pragma once

constexpr int kImageSize = 40;   // pixels of the mascot image, square
constexpr int kWindowSize = 41;  // pixels; the shape leaves the last row and column out
constexpr int kStartX = 300;     // where the window appears, root coordinates
constexpr int kStartY = 100;
constexpr int kTickMs = 10;
