// The screen-box clamp, and the playback of the smoothed path as window positions.
#pragma once

#include "engine/geometry.h"

class CMascot;
class CTrajectory;

// Keeps the window position and the newest key point inside the screen box.
void ClampToScreenBox(CMascot& mascot, CTrajectory& store);

// Copies the path entry at playIndex into the position; compacts a long history and restarts
// playIndex at its start.
void PlayBack(CMascot& mascot, CTrajectory& store, int& playIndex);
