// The mascot window, where the Windows host's story starts after WinMain: the host's state, the
// run of the program (class, window, tray icon, message loop), the window procedure and the
// window's shape, a region made of the bitmap's non-transparent pixels.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

// ---------------------------------------------------------------------------------------------
// The host's state
// ---------------------------------------------------------------------------------------------

// What the Windows host keeps of its own, beside the desktop programs' globals
// (host/shared/globals.h).
struct CWin32Host {
    HINSTANCE m_instance = nullptr;    // set before the window is created; resources load from it
    NOTIFYICONDATAA m_trayIcon = {};   // kept so that the window can remove its icon at destroy
    HBITMAP m_mascotBitmap = nullptr;  // bitmap 133, loaded at creation, released at destroy
    bool m_menuOpen = false;           // between WM_ENTERMENULOOP and WM_EXITMENULOOP
};

extern CWin32Host g_host;

// ---------------------------------------------------------------------------------------------
// The run: class, window, message loop
// ---------------------------------------------------------------------------------------------

constexpr char kMascotClassName[] = "mascot test program";

// The whole program: class, window, tray icon, show, loop. Returns the process exit code.
int MascotMain(HINSTANCE instance, int showCommand);

// Registers the window class of the mascot window. The result is not checked: creation fails
// later if the class is missing.
void RegisterMascotClass(HINSTANCE instance);

// Creates the hidden, topmost, borderless tool window; null on failure. The creation message
// loads the bitmap, resets the motion, starts the timer and shapes the window.
HWND CreateMascotWindow(HINSTANCE instance);

// Runs the message loop until the quit message, with the timer resolution raised to 1 ms
// meanwhile; returns the exit code the quit message carries.
int RunMessageLoop();

// ---------------------------------------------------------------------------------------------
// The window procedure
// ---------------------------------------------------------------------------------------------

LRESULT CALLBACK MascotWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---------------------------------------------------------------------------------------------
// The shape
// ---------------------------------------------------------------------------------------------

// Transparent colour value that asks for the colour of the image's bottom-left pixel.
constexpr std::uint32_t kTransparentFromBottomLeft = 0xFFFFFFFFu;
// Window property that holds the region last given to the window.
constexpr char kRegionProperty[] = "region";

// Builds the region from `bitmap` (bottom-left colour transparent), gives it to the window and
// records it under kRegionProperty. With no region the window goes back to its full rectangle.
void ApplyShape(HWND window, HBITMAP bitmap);

// The union of the maximal horizontal runs of pixels that differ from `transparent` (a 32-bit
// DIB value 0x00RRGGBB, or kTransparentFromBottomLeft), in window coordinates. Null when the
// bitmap is missing or cannot be read; the caller owns the result.
HRGN BuildRegionFromBitmap(HBITMAP bitmap, std::uint32_t transparent);

// The same, always the plain way: the bitmap copied into a 32-bit pixel buffer through two memory
// contexts, and one rectangle united into the region per run. BuildRegionFromBitmap gives the
// identical region with far fewer calls for bitmaps that fit the quick builder's fixed buffers.
HRGN BuildRegionRunByRun(HBITMAP bitmap, std::uint32_t transparent);

// The same from pixels already in memory: `pixels` holds `height` rows of `width` 32-bit values,
// bottom row first, as a bottom-up 32-bit DIB stores them.
HRGN BuildRegionFromPixels(const std::uint32_t* pixels, int width, int height,
                           std::uint32_t transparent);

// Whether a width x height bitmap fits the fixed buffers of the quick builder, which
// BuildRegionFromBitmap takes for small bitmaps such as the mascot: one pixel read and one region
// creation instead of a pixel buffer, two contexts and a region per run.
bool FitsQuickBuilder(int width, int height);
