// The mascot window, where the Windows host's story starts after WinMain: the host's state, the
// run of the program (class, window, tray icon, message loop) and the window procedure.
#pragma once

#include <windows.h>
#include <shellapi.h>

// ---- The host's state ---------------------------------------------------------------------------
// What the Windows host keeps of its own, beside the desktop programs' globals (globals.h).

struct CWin32Host {
    HINSTANCE m_instance = nullptr;    // set before the window is created; resources load from it
    NOTIFYICONDATAA m_trayIcon = {};   // kept so that the window can remove its icon at destroy
    HBITMAP m_mascotBitmap = nullptr;  // bitmap 133, loaded at creation, released at destroy
    bool m_menuOpen = false;           // between WM_ENTERMENULOOP and WM_EXITMENULOOP
};

extern CWin32Host g_host;

// ---- The run: class, window, message loop -------------------------------------------------------
// The program from WinMain on, and the class, window and message loop it is made of.

// The name the system knows the mascot's window class by, odd as it reads: tools outside the
// process find the window by it (FindWindowA, tests/e2e's probe), so it does not change.
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

// ---- The window procedure -----------------------------------------------------------------------
// The one entry of the mascot window's messages; window.cpp has a handler for each.

LRESULT CALLBACK MascotWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
