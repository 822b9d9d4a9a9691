// The mascot window: the host's state, the run of the program (class, window, tray icon, message
// loop) and the window procedure as a table of handlers.
#include "host/win32/window.h"

#include <windowsx.h>

#include "host/shared/globals.h"
#include "host/win32/menu_tray.h"
#include "host/win32/shape.h"
#include "host/win32/tick.h"
#include "resources/resource_ids.h"

// ---- The host's state ---------------------------------------------------------------------------
// The one instance of the host's own state.

CWin32Host g_host;

// ---- The run: class, window, message loop -------------------------------------------------------
// Registering the class, creating the window, and the loop that runs until the quit message.

namespace {

constexpr int kMessageLoopFailed = 1;  // exit code when the message queue cannot be read

}  // namespace

int MascotMain(HINSTANCE instance, int showCommand) {
    RegisterMascotClass(instance);
    g_host.m_instance = instance;  // the creation message already loads the bitmap through it
    HWND window = CreateMascotWindow(instance);
    if (!window) return 0;
    AddTrayIcon(window);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return RunMessageLoop();
}

void RegisterMascotClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MascotWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
    windowClass.lpszClassName = kMascotClassName;
    RegisterClassExA(&windowClass);
}

HWND CreateMascotWindow(HINSTANCE instance) {
    return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kMascotClassName, nullptr, WS_POPUP,
                           kWindowStartX, kWindowStartY, kWindowSize, kWindowSize, nullptr, nullptr,
                           instance, nullptr);
}

int RunMessageLoop() {
    CTimerResolution fineTimers;  // released on every way out of the loop
    MSG message = {};
    for (;;) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return kMessageLoopFailed;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// ---- The window procedure -----------------------------------------------------------------------
// MascotWindowProc: a table of the messages the window handles, each with its handler above it.

namespace {

constexpr UINT kFirstRegisteredMessage = 0xC000;

LRESULT OnCreate(HWND window) {
    g_host.m_mascotBitmap = LoadBitmapA(g_host.m_instance, MAKEINTRESOURCEA(IDB_MASCOT));
    ResetMotion();
    SetTimer(window, kTickTimerId, kTickMs, nullptr);
    ApplyShape(window, g_host.m_mascotBitmap);
    return 0;
}

LRESULT OnDestroy(HWND window) {
    if (g_host.m_mascotBitmap) {
        DeleteObject(g_host.m_mascotBitmap);
        g_host.m_mascotBitmap = nullptr;
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
    HDC source = g_host.m_mascotBitmap ? CreateCompatibleDC(target) : nullptr;
    if (source) {
        HGDIOBJ previous = SelectObject(source, g_host.m_mascotBitmap);
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
    g_host.m_menuOpen = open;
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
    if (wParam != kTrayIconId || lParam != WM_RBUTTONDOWN) return 0;
    POINT cursor = {};
    BOOL readOk = GetCursorPos(&cursor);
    cursor = CursorOrLastKnown(readOk, cursor);
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
