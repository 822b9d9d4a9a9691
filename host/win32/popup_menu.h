// The popup menu of the tray icon and of a right click on the mascot.
#pragma once

#include <windows.h>

// Loads menu 128, shows its first submenu at (x, y) in screen pixels and releases it once the
// menu has closed. The chosen item arrives afterwards as a WM_COMMAND to `window`.
void ShowPopupMenu(HWND window, int x, int y);
