// Plain test windows, the foreground window and the z-order walk.
#include "support/plain_window.h"

namespace {

constexpr char kPlainClass[] = "mascot test plain window";
constexpr char kFocusLosses[] = "focus losses";  // window property counting WM_KILLFOCUS

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KILLFOCUS) {
        SetPropA(window, kFocusLosses, reinterpret_cast<HANDLE>(FocusLosses(window) + 1));
    }
    if (message == WM_NCDESTROY) RemovePropA(window, kFocusLosses);
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterPlainClass() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = kPlainClass;
    RegisterClassExA(&windowClass);  // fails harmlessly once the class exists
}

}  // namespace

HWND CreatePlainWindow(DWORD exStyle, int x, int y, int size) {
    RegisterPlainClass();
    HWND window = CreateWindowExA(exStyle | WS_EX_TOOLWINDOW, kPlainClass, nullptr, WS_POPUP, x, y,
                                  size, size, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window) ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

HWND CreateTypingWindow() {
    HWND window = CreatePlainWindow(0, 600, 400, 60);
    if (!window) return nullptr;
    SetForegroundWindow(window);
    if (GetForegroundWindow() == window) return window;
    DestroyWindow(window);
    return nullptr;
}

INT_PTR FocusLosses(HWND window) {
    return reinterpret_cast<INT_PTR>(GetPropA(window, kFocusLosses));
}

bool IsAbove(HWND upper, HWND lower) {
    // One snapshot of the z-order: a walk with GW_HWNDNEXT breaks off when it steps onto a window
    // that a test running beside this one destroys meanwhile.
    struct CSearch {
        HWND upper;
        HWND lower;
        bool upperSeen;
        bool above;
    } search = {upper, lower, false, false};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            CSearch& search = *reinterpret_cast<CSearch*>(data);
            if (window == search.upper) search.upperSeen = true;
            if (window != search.lower) return TRUE;
            search.above = search.upperSeen;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.above;
}
