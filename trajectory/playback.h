// The fixed screen box, and the playback of the smoothed path as window positions.
#pragma once

class CMascot;
class CTrajectory;

constexpr double kScreenLeft = 20.0;
constexpr double kScreenRight = 1000.0;
constexpr double kScreenTop = 20.0;
constexpr double kScreenBottom = 680.0;

// Keeps the window position and the newest key point inside the screen box.
void ClampToScreenBox(CMascot& mascot, CTrajectory& store);

// Copies the path entry at g_playIndex into the position; compacts a long history.
void PlayBack();
