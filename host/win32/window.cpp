// The mascot window: the host's state, the run of the program (class, window, tray icon, message
// loop), the window procedure as a table of handlers, and the window's shape.
#include "host/win32/window.h"

#include <windowsx.h>

#include <cstddef>

#include "host/shared/globals.h"
#include "host/shared/pixel_runs.h"
#include "host/win32/menu_tray.h"
#include "host/win32/tick.h"
#include "resources/resource_ids.h"

// ---------------------------------------------------------------------------------------------
// The host's state
// ---------------------------------------------------------------------------------------------

CWin32Host g_host;

// ---------------------------------------------------------------------------------------------
// The run: class, window, message loop
// ---------------------------------------------------------------------------------------------

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

// ---------------------------------------------------------------------------------------------
// The window procedure
// ---------------------------------------------------------------------------------------------
// MascotWindowProc is a table of the messages the mascot window handles, each with its own
// handler above it.

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

// ---------------------------------------------------------------------------------------------
// The shape
// ---------------------------------------------------------------------------------------------
// Two builders over the same row scan (host/shared/pixel_runs.h). The run-by-run one copies the
// bitmap into a 32-bit pixel buffer and unites one rectangle per run into the region. The quick
// one reads the pixels with GetDIBits into a fixed buffer, collects the runs in a fixed rectangle
// list and makes the region with one ExtCreateRegion; nothing is allocated, and bitmaps larger
// than its buffers take the run-by-run way.

namespace {

// A bottom-up 32-bit uncompressed DIB of width x height: rows of width x 4 bytes, bottom row first.
BITMAPINFO BottomUp32BitInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: the first row in memory is the bottom row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

bool ReadBitmapSize(HBITMAP bitmap, int& width, int& height) {
    BITMAP description = {};
    // Anything but a bitmap answers with another size (or 0).
    if (GetObjectA(bitmap, sizeof description, &description) != sizeof description) return false;
    if (description.bmWidth <= 0 || description.bmHeight <= 0) return false;
    width = description.bmWidth;
    height = description.bmHeight;
    return true;
}

HBITMAP CreatePixelBuffer(HDC context, int width, int height, void** bits) {
    BITMAPINFO info = BottomUp32BitInfo(width, height);
    return CreateDIBSection(context, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// Copies the bitmap into the buffer selected into `target`. A second context that cannot be
// made, or a bitmap that cannot be selected into it (one already selected into another context,
// or one of another device), counts as a failed copy: BitBlt would then copy the context's
// placeholder bitmap and the shape would not be the bitmap's.
bool CopyBitmapInto(HDC target, HBITMAP bitmap, int width, int height) {
    HDC source = CreateCompatibleDC(target);
    if (!source) return false;
    HGDIOBJ previous = SelectObject(source, bitmap);
    bool copied = previous && BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
    if (previous) SelectObject(source, previous);
    DeleteDC(source);
    return copied;
}

// The bitmap as 32-bit pixels; the returned section owns them. Null when any step fails, with
// everything made so far released.
HBITMAP CopyToPixelBuffer(HBITMAP bitmap, int width, int height, const std::uint32_t** pixels) {
    HDC target = CreateCompatibleDC(nullptr);
    if (!target) return nullptr;
    void* bits = nullptr;
    HBITMAP buffer = CreatePixelBuffer(target, width, height, &bits);
    if (!buffer) {
        DeleteDC(target);
        return nullptr;
    }
    HGDIOBJ previous = SelectObject(target, buffer);
    bool copied = previous && CopyBitmapInto(target, bitmap, width, height);
    if (previous) SelectObject(target, previous);
    DeleteDC(target);
    if (!copied) {
        DeleteObject(buffer);
        return nullptr;
    }
    GdiFlush();  // the copy must have landed before the bits are read
    *pixels = static_cast<const std::uint32_t*>(bits);
    return buffer;
}

bool AddRun(HRGN region, int x0, int x1, int y) {
    HRGN run = CreateRectRgn(x0, y, x1, y + 1);
    if (!run) return false;
    int combined = CombineRgn(region, region, run, RGN_OR);
    DeleteObject(run);
    return combined != ERROR;
}

constexpr int kMaxQuickPixels = 64 * 64;
constexpr int kMaxQuickRects = 2048;

// RGNDATA with room for the rectangles: the header is followed directly by them.
struct CRectList {
    RGNDATAHEADER header;
    RECT rects[kMaxQuickRects];
};

// Reads the bitmap as bottom-up 32-bit pixels, the layout of the run-by-run builder's buffer.
// A bitmap that cannot be selected into a context (one selected into another) is not read, as
// the run-by-run builder cannot copy it either.
bool ReadPixels(HBITMAP bitmap, int width, int height, std::uint32_t* pixels) {
    HDC context = CreateCompatibleDC(nullptr);
    if (!context) return false;
    HGDIOBJ previous = SelectObject(context, bitmap);
    if (previous) SelectObject(context, previous);
    BITMAPINFO info = BottomUp32BitInfo(width, height);
    bool read =
        previous && GetDIBits(context, bitmap, 0, height, pixels, &info, DIB_RGB_COLORS) == height;
    DeleteDC(context);
    return read;
}

bool AddRect(CRectList& list, int x0, int x1, int y) {
    if (list.header.nCount >= static_cast<DWORD>(kMaxQuickRects)) return false;
    RECT& rect = list.rects[list.header.nCount++];
    rect = {x0, y, x1, y + 1};
    RECT& bound = list.header.rcBound;
    if (list.header.nCount == 1) {
        bound = rect;
        return true;
    }
    if (x0 < bound.left) bound.left = x0;
    if (x1 > bound.right) bound.right = x1;
    if (y < bound.top) bound.top = y;
    if (y + 1 > bound.bottom) bound.bottom = y + 1;
    return true;
}

// The runs of every row, found by the same scan as the run-by-run builder's. FitsQuickBuilder
// makes sure that the list has room for every run; false if it had not.
bool CollectRuns(const std::uint32_t* pixels, int width, int height, std::uint32_t transparent,
                 CRectList& list) {
    for (int i = 0; i < height; ++i) {
        int y = height - 1 - i;
        bool added = ForEachRun(pixels + i * width, width, transparent,
                                [&list, y](int x0, int x1) { return AddRect(list, x0, x1, y); });
        if (!added) return false;
    }
    return true;
}

// The same region as the run-by-run builder gives for a bitmap that fits, or null when the
// bitmap cannot be read. `transparent` as for BuildRegionFromBitmap.
HRGN BuildRegionQuickly(HBITMAP bitmap, int width, int height, std::uint32_t transparent) {
    if (!FitsQuickBuilder(width, height)) return nullptr;
    std::uint32_t pixels[kMaxQuickPixels];
    if (!ReadPixels(bitmap, width, height, pixels)) return nullptr;
    if (transparent == kTransparentFromBottomLeft) transparent = pixels[0];
    CRectList list;
    list.header = {};
    list.header.dwSize = sizeof list.header;
    list.header.iType = RDH_RECTANGLES;
    if (!CollectRuns(pixels, width, height, transparent, list)) return nullptr;
    DWORD size = sizeof list.header + list.header.nCount * sizeof(RECT);
    list.header.nRgnSize = list.header.nCount * sizeof(RECT);
    return ExtCreateRegion(nullptr, size, reinterpret_cast<const RGNDATA*>(&list));
}

}  // namespace

void ApplyShape(HWND window, HBITMAP bitmap) {
    HRGN region = BuildRegionFromBitmap(bitmap, kTransparentFromBottomLeft);
    // Once the window has taken a region the window system owns it and frees it when it is
    // replaced or the window goes; only a region it refused is still ours to free.
    if (!SetWindowRgn(window, region, TRUE)) {
        if (region) DeleteObject(region);
        return;
    }
    if (region) {
        SetPropA(window, kRegionProperty, region);
        return;
    }
    RemovePropA(window, kRegionProperty);
}

HRGN BuildRegionFromBitmap(HBITMAP bitmap, std::uint32_t transparent) {
    if (!bitmap) return nullptr;
    int width = 0;
    int height = 0;
    if (!ReadBitmapSize(bitmap, width, height)) return nullptr;
    if (FitsQuickBuilder(width, height)) {
        return BuildRegionQuickly(bitmap, width, height, transparent);
    }
    return BuildRegionRunByRun(bitmap, transparent);
}

HRGN BuildRegionRunByRun(HBITMAP bitmap, std::uint32_t transparent) {
    if (!bitmap) return nullptr;
    int width = 0;
    int height = 0;
    if (!ReadBitmapSize(bitmap, width, height)) return nullptr;
    const std::uint32_t* pixels = nullptr;
    HBITMAP buffer = CopyToPixelBuffer(bitmap, width, height, &pixels);
    if (!buffer) return nullptr;
    HRGN region = BuildRegionFromPixels(pixels, width, height, transparent);
    DeleteObject(buffer);
    return region;
}

HRGN BuildRegionFromPixels(const std::uint32_t* pixels, int width, int height,
                           std::uint32_t transparent) {
    if (!pixels || width <= 0 || height <= 0) return nullptr;
    if (transparent == kTransparentFromBottomLeft) transparent = pixels[0];
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (!region) return nullptr;
    for (int i = 0; i < height; ++i) {
        const std::uint32_t* row = pixels + static_cast<std::size_t>(i) * width;
        int y = height - 1 - i;
        bool added = ForEachRun(row, width, transparent,
                                [region, y](int x0, int x1) { return AddRun(region, x0, x1, y); });
        // A region missing a run would be a wrong shape: give none rather than that.
        if (!added) {
            DeleteObject(region);
            return nullptr;
        }
    }
    return region;
}

bool FitsQuickBuilder(int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaxQuickPixels || height > kMaxQuickPixels) {
        return false;
    }
    // Runs are separated by at least one transparent pixel: at most (width + 1) / 2 a row.
    return width * height <= kMaxQuickPixels && (width + 1) / 2 * height <= kMaxQuickRects;
}
