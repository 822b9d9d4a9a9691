// The mascot window every desktop host shows: where it first appears, and its size, one pixel
// wider and taller than the image, whose last row and column stay outside the shape.
#pragma once

#include "engine/geometry.h"

constexpr int kWindowSize = kImageSize + 1;
constexpr int kWindowStartX = static_cast<int>(kStartX);  // screen (root) coordinates
constexpr int kWindowStartY = static_cast<int>(kStartY);

constexpr char kTrayTip[] = "Zunpel";  // the tray icon's tip, and the X11 window's name
