// The program's entry point. The C runtime's start-up passes the instance and the show state.
#include <windows.h>

#include "host/win32/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return MascotMain(instance, showCommand);
}
