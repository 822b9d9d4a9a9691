// Start-up of the mascot: the window class, the window, the message loop and the whole run.
#pragma once

#include <windows.h>

constexpr char kMascotClassName[] = "mascot test program";

// Registers the window class of the mascot window. The result is not checked: creation fails
// later if the class is missing.
void RegisterMascotClass(HINSTANCE instance);

// Creates the hidden, topmost, borderless tool window; null on failure. The creation message
// loads the bitmap, resets the motion, starts the timer and shapes the window.
HWND CreateMascotWindow(HINSTANCE instance);

// Runs the message loop until the quit message, with the timer resolution raised to 1 ms
// meanwhile; returns the exit code the quit message carries.
int RunMessageLoop();

// The whole program: class, window, tray icon, show, loop. Returns the process exit code.
int MascotMain(HINSTANCE instance, int showCommand);
