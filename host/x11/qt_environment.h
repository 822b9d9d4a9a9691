// What the toolkit must be told: before it starts, the X11 platform and no scaling; once it runs,
// how much its style may cache.
#pragma once

// Forces Qt's xcb platform (under Wayland sessions too: the mascot needs X11 positions and
// stacking) and takes away the environment's scaling variables, which would otherwise scale the
// menu's coordinates away from the pointer's. Call before QApplication exists.
void PrepareQtEnvironment();

// The style caches the pixmaps it draws with (a menu's arrows and frames) under keys that hold
// the palette's serial number, which changes every time the tray icon's menu is shown: each
// showing added about a KiB that stayed (the keys outlive their evicted pixmaps), without bound
// over hours. The menu is drawn only while open and its pixmaps are tiny, so it draws them anew
// each time instead. Call once QApplication exists.
void StopStyleCache();
