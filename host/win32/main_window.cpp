// The window class, window creation, the message loop and the run of the program from WinMain.
#include "host/win32/main_window.h"

#include "host/win32/host_state.h"
#include "host/win32/tick_handler.h"
#include "host/win32/timer_resolution.h"
#include "host/win32/tray_icon.h"
#include "host/win32/window_proc.h"

namespace {

constexpr int kMessageLoopFailed = 1;  // exit code when the message queue cannot be read

}  // namespace

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

int MascotMain(HINSTANCE instance, int showCommand) {
    RegisterMascotClass(instance);
    g_instance = instance;  // the creation message already loads the bitmap through it
    HWND window = CreateMascotWindow(instance);
    if (!window) return 0;
    AddTrayIcon(window);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return RunMessageLoop();
}
