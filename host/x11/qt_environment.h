// What the toolkit must be told before it starts: the X11 platform, and no scaling.
#pragma once

// Forces Qt's xcb platform (under Wayland sessions too: the mascot needs X11 positions and
// stacking) and takes away the environment's scaling variables, which would otherwise scale the
// menu's coordinates away from the pointer's. Call before QApplication exists.
void PrepareQtEnvironment();
