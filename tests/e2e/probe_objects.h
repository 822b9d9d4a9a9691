// Counting the GDI and USER objects of the mascot's process from outside it.
#pragma once

#include <windows.h>

// One count. Windows answers GetGuiResources for another process: objects in use by it. Wine
// answers 0 there; its GDI handle table is per process and readable from outside, but its USER
// handle table is one for every process of the wineserver, which has no owner per handle: the
// count is then of the free USER slots, which a leak in any of those processes lowers.
struct ObjectCounts {
    long gdiInUse = 0;
    long user = 0;
    bool userIsFreeSlots = false;
};

// Counts for the process that owns `window`; false when the process cannot be read.
bool CountObjects(HWND window, ObjectCounts& counts);

// Wine only: how many GDI objects of each type (the table's type byte, 1..31) the process that
// owns `window` holds; false where its table cannot be read.
bool CountGdiTypes(HWND window, long (&perType)[32]);
