// The mascot window every desktop host shows: one pixel wider and taller than the image, whose
// last row and column stay outside the shape.
#pragma once

#include "engine/geometry.h"

constexpr int kWindowSize = kImageSize + 1;
