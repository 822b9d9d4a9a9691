// Plain windows for a test to stack the mascot against or to hold the foreground, and reading the
// z-order between two windows, which under Wine only Win32 can tell (X shows no lowered window).
#pragma once

#include <windows.h>

// A visible, plain window of this thread at (x, y), `size` pixels square, shown without being
// activated; `exStyle` adds WS_EX_TOPMOST, for one. The caller destroys it.
HWND CreatePlainWindow(DWORD exStyle, int x, int y, int size);

// A plain window away from the mascot, made the foreground window: where the user is typing.
// Null when it could not be made the foreground window.
HWND CreateTypingWindow();

// How often a plain window has lost the keyboard focus.
INT_PTR FocusLosses(HWND window);

// True when `upper` lies above `lower` in the z-order (`lower` follows it, walking down).
bool IsAbove(HWND upper, HWND lower);
