// MascotWindowProc, the window procedure of the mascot window.
#pragma once

#include <windows.h>

LRESULT CALLBACK MascotWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
