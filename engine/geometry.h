// The fixed geometry the motion works in: the image, the start, the screen box and the inner box.
// Screen pixels; a position is the top-left corner of the image.
#pragma once

constexpr int kImageSize = 40;       // the mascot image is kImageSize x kImageSize pixels
constexpr double kHalfImage = 20.0;  // from the image's corner to its centre, on each axis

// Where the mascot stands when the window is created.
constexpr double kStartX = 300.0;
constexpr double kStartY = 100.0;

// The screen box holds every position, whatever the real screen's size.
constexpr double kScreenLeft = 20.0;
constexpr double kScreenRight = 1000.0;
constexpr double kScreenTop = 20.0;
constexpr double kScreenBottom = 680.0;

// The inner box: the steering turns away from the walls outside it.
constexpr double kInnerLeft = 200.0;
constexpr double kInnerRight = 820.0;
constexpr double kInnerTop = 200.0;
constexpr double kInnerBottom = 500.0;
