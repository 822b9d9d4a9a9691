// The popup menu of the tray icon and of a right click on the mascot, and the notification-area
// icon of the mascot window, kept in g_host.m_trayIcon.
#pragma once

#include <windows.h>

#include "host/shared/window.h"

constexpr UINT kTrayIconId = 1;
constexpr UINT kTrayCallbackMessage = WM_APP + 1;  // 0x8001
// Registered message a new taskbar broadcasts: every icon has to be added again.
constexpr char kTaskbarCreatedMessage[] = "TaskbarCreated";

// ---- The popup menu -----------------------------------------------------------------------------
// The menu of the tray icon and of a right click on the mascot.

// Loads menu 128, shows its first submenu at (x, y) in screen pixels and releases it once the
// menu has closed. The chosen item arrives afterwards as a WM_COMMAND to `window`.
void ShowPopupMenu(HWND window, int x, int y);

// ---- The tray icon ------------------------------------------------------------------------------
// The notification-area icon, kept in g_host.m_trayIcon from its adding to its removal.

// Fills g_host.m_trayIcon for `window` and adds the icon. Failures are not reported: without an
// icon the mascot's own right-click menu still works.
void AddTrayIcon(HWND window);

// Adds the icon described by g_host.m_trayIcon again, after the taskbar has been recreated.
void RestoreTrayIcon();

// Removes the icon and releases its image.
void RemoveTrayIcon();
