// The program's entry point, where the Windows host's story starts. The C runtime's start-up
// passes the instance and the show state; window.cpp runs the rest: the window and its procedure,
// then shape.cpp (its outline), tick.cpp (the timer message) and menu_tray.cpp (menu, tray icon).
#include <windows.h>

#include "host/win32/window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return MascotMain(instance, showCommand);
}
