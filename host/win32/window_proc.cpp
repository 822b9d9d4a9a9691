// MascotWindowProc: a table of the messages the mascot window handles, each with its own handler.
#include "host/win32/window_proc.h"

#include <windowsx.h>

#include "host/shared/globals.h"
#include "host/win32/host_state.h"
#include "host/win32/popup_menu.h"
#include "host/win32/region.h"
#include "host/win32/tick_handler.h"
#include "host/win32/tray_icon.h"
#include "resources/resource_ids.h"

namespace {

constexpr UINT kFirstRegisteredMessage = 0xC000;

LRESULT OnCreate(HWND window) {
    g_mascotBitmap = LoadBitmapA(g_instance, MAKEINTRESOURCEA(IDB_MASCOT));
    ResetMotion();
    SetTimer(window, kTickTimerId, kTickMs, nullptr);
    ApplyShape(window, g_mascotBitmap);
    return 0;
}

LRESULT OnDestroy(HWND window) {
    if (g_mascotBitmap) {
        DeleteObject(g_mascotBitmap);
        g_mascotBitmap = nullptr;
    }
    // The region itself belongs to the window system, which frees it with the window.
    if (GetPropA(window, kRegionProperty)) RemovePropA(window, kRegionProperty);
    RemoveTrayIcon();
    KillTimer(window, kTickTimerId);
    PostQuitMessage(0);
    return 0;
}

LRESULT OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC target = BeginPaint(window, &paint);
    HDC source = g_mascotBitmap ? CreateCompatibleDC(target) : nullptr;
    if (source) {
        HGDIOBJ previous = SelectObject(source, g_mascotBitmap);
        BitBlt(target, 0, 0, kImageSize, kImageSize, source, 0, 0, SRCCOPY);
        if (previous) SelectObject(source, previous);
        DeleteDC(source);
    }
    EndPaint(window, &paint);
    return 0;
}

// The whole mascot answers like a caption, so clicks on it arrive as non-client messages.
LRESULT OnHitTest(HWND window, WPARAM wParam, LPARAM lParam) {
    LRESULT hit = DefWindowProcA(window, WM_NCHITTEST, wParam, lParam);
    return hit == HTCLIENT ? HTCAPTION : hit;
}

// Not passed on: the default handling would start moving the window with the mouse.
LRESULT OnLeftClick() {
    DuckOnClick();
    return 0;
}

// Screen coordinates are signed: left of or above the primary monitor they are negative.
LRESULT OnRightClick(HWND window, LPARAM lParam) {
    ShowPopupMenu(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

// A click on the mascot must not take the keyboard focus from the window the user is typing in;
// the default answer activates for every button but a left press on a caption. The right button
// is the exception: it opens the menu, which only closes when the user clicks elsewhere if its
// window is the foreground window.
LRESULT OnMouseActivate(HWND window, WPARAM wParam, LPARAM lParam) {
    UINT button = HIWORD(lParam);
    if (button == WM_NCRBUTTONDOWN || button == WM_RBUTTONDOWN) {
        return DefWindowProcA(window, WM_MOUSEACTIVATE, wParam, lParam);
    }
    return MA_NOACTIVATE;
}

// While a menu is open the tick leaves the window's place in the z-order alone.
LRESULT OnMenuLoop(bool open) {
    g_menuOpen = open;
    return 0;
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    // The low word is the command id; the high word tells menu from accelerator or control.
    switch (RunCommand(LOWORD(wParam))) {
    case CommandResult::Handled: return 0;
    case CommandResult::Exit:
        DestroyWindow(window);  // the destroy handling runs inside this call
        FinishCommand();
        return 0;
    case CommandResult::Unknown: break;
    }
    return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
}

LRESULT OnTimer(HWND window) {
    OnTimerTick(window);
    return 0;
}

LRESULT OnTrayCallback(HWND window, WPARAM wParam, LPARAM lParam) {
    POINT cursor = {};
    BOOL readOk = GetCursorPos(&cursor);
    cursor = CursorOrLastKnown(readOk, cursor);
    if (wParam != kTrayIconId || lParam != WM_RBUTTONDOWN) return 0;
    // The window must be in the foreground, or the menu stays open when the user clicks away.
    SetForegroundWindow(window);
    ShowPopupMenu(window, cursor.x, cursor.y);
    // A notification icon's menu may otherwise vanish at once or refuse to close the next time
    // (remarks of TrackPopupMenu): a benign message once the menu has returned.
    PostMessageA(window, WM_NULL, 0, 0);
    return 0;
}

bool IsTaskbarCreated(UINT message) {
    // Registered messages lie at 0xC000 and above; only those can be the taskbar's.
    return message >= kFirstRegisteredMessage &&
           message == RegisterWindowMessageA(kTaskbarCreatedMessage);
}

}  // namespace

LRESULT CALLBACK MascotWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: return OnDestroy(window);
    case WM_PAINT: return OnPaint(window);
    case WM_NCHITTEST: return OnHitTest(window, wParam, lParam);
    case WM_NCLBUTTONDOWN: return OnLeftClick();
    case WM_NCRBUTTONDOWN: return OnRightClick(window, lParam);
    case WM_MOUSEACTIVATE: return OnMouseActivate(window, wParam, lParam);
    case WM_ENTERMENULOOP: return OnMenuLoop(true);
    case WM_EXITMENULOOP: return OnMenuLoop(false);
    case WM_COMMAND: return OnCommand(window, wParam, lParam);
    case WM_TIMER: return OnTimer(window);
    case kTrayCallbackMessage: return OnTrayCallback(window, wParam, lParam);
    default: break;
    }
    if (IsTaskbarCreated(message)) {
        RestoreTrayIcon();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
