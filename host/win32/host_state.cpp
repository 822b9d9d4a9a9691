// The Windows host's own globals.
#include "host/win32/host_state.h"

HINSTANCE g_instance = nullptr;
NOTIFYICONDATAA g_trayIcon = {};
HBITMAP g_mascotBitmap = nullptr;
bool g_menuOpen = false;
