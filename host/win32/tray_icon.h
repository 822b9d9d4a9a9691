// The notification-area icon of the mascot window.
#pragma once

#include <windows.h>

#include "host/shared/window.h"

constexpr UINT kTrayIconId = 1;
constexpr UINT kTrayCallbackMessage = WM_APP + 1;  // 0x8001
// Registered message a new taskbar broadcasts: every icon has to be added again.
constexpr char kTaskbarCreatedMessage[] = "TaskbarCreated";

// Fills g_trayIcon for `window` and adds the icon. Failures are not reported: without an icon the
// mascot's own right-click menu still works.
void AddTrayIcon(HWND window);

// Adds the icon described by g_trayIcon again, after the taskbar has been recreated.
void RestoreTrayIcon();

// Removes the icon and releases its image.
void RemoveTrayIcon();
