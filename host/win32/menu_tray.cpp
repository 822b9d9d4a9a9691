// The popup menu, loaded anew from the resources every time it is shown, and adding, restoring
// and removing the tray icon kept in g_host.m_trayIcon.
#include "host/win32/menu_tray.h"

#include "host/win32/window.h"
#include "resources/resource_ids.h"

// ---- The popup menu -----------------------------------------------------------------------------
// Menu 128, loaded anew from the resources every time it is shown.

void ShowPopupMenu(HWND window, int x, int y) {
    HMENU menu = LoadMenuA(g_host.m_instance, MAKEINTRESOURCEA(IDR_POPUP_MENU));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    // Modal: timer messages keep being dispatched to the window until the menu closes.
    if (popup) TrackPopupMenu(popup, TPM_RIGHTBUTTON, x, y, 0, window, nullptr);
    DestroyMenu(menu);  // the submenus go with it
}

// ---- The tray icon ------------------------------------------------------------------------------
// Adding the icon, adding it again for a new taskbar, and removing it.

namespace {

constexpr int kTrayIconPixels = 16;  // the 32 x 32 image is scaled down to this

}  // namespace

void AddTrayIcon(HWND window) {
    g_host.m_trayIcon = {};
    // The first, shortest form of the structure, whatever size the headers' full form has.
    g_host.m_trayIcon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    g_host.m_trayIcon.hWnd = window;
    g_host.m_trayIcon.uID = kTrayIconId;
    g_host.m_trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    g_host.m_trayIcon.uCallbackMessage = kTrayCallbackMessage;
    g_host.m_trayIcon.hIcon = static_cast<HICON>(
        LoadImageA(g_host.m_instance, MAKEINTRESOURCEA(IDI_TRAY_ICON), IMAGE_ICON, kTrayIconPixels,
                   kTrayIconPixels, LR_DEFAULTCOLOR));
    lstrcpynA(g_host.m_trayIcon.szTip, kTrayTip, sizeof g_host.m_trayIcon.szTip);
    Shell_NotifyIconA(NIM_ADD, &g_host.m_trayIcon);
}

void RestoreTrayIcon() {
    if (!g_host.m_trayIcon.hWnd) return;
    Shell_NotifyIconA(NIM_ADD, &g_host.m_trayIcon);
}

void RemoveTrayIcon() {
    Shell_NotifyIconA(NIM_DELETE, &g_host.m_trayIcon);
    if (g_host.m_trayIcon.hIcon) DestroyIcon(g_host.m_trayIcon.hIcon);
    g_host.m_trayIcon.hIcon = nullptr;
    g_host.m_trayIcon.hWnd = nullptr;
}
