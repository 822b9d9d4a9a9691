// The Windows host's own globals: the module instance, the tray icon, the mascot bitmap and
// whether a popup menu of the window is open.
#pragma once

#include <windows.h>
#include <shellapi.h>

extern HINSTANCE g_instance;        // set before the window is created; resources load from it
extern NOTIFYICONDATAA g_trayIcon;  // kept so that the window can remove its icon at destroy
extern HBITMAP g_mascotBitmap;      // bitmap 133, loaded at creation, released at destroy
extern bool g_menuOpen;             // between WM_ENTERMENULOOP and WM_EXITMENULOOP
