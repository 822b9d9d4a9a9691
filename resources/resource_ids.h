// Identifiers of the program's resources, shared by the resource script and the C++ code.
#pragma once

#define IDR_POPUP_MENU 128
#define IDI_TRAY_ICON 131
#define IDB_MASCOT 133
