// The popup menu, loaded anew from the resources every time it is shown.
#include "host/win32/popup_menu.h"

#include "host/win32/host_state.h"
#include "resources/resource_ids.h"

void ShowPopupMenu(HWND window, int x, int y) {
    HMENU menu = LoadMenuA(g_instance, MAKEINTRESOURCEA(IDR_POPUP_MENU));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    // Modal: timer messages keep being dispatched to the window until the menu closes.
    if (popup) TrackPopupMenu(popup, TPM_RIGHTBUTTON, x, y, 0, window, nullptr);
    DestroyMenu(menu);  // the submenus go with it
}
