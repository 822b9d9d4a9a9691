// The probe's view of the running mascot: its one window, its process, and values read from its
// memory.
#pragma once

#include <windows.h>

#include <cstdint>

// The mascot's window, or null when there is none or more than one (then the answer would not be
// about our own program).
HWND FindMascot();

// A handle to the process that owns `window` with the given access rights, or null.
HANDLE OpenOwner(HWND window, DWORD access);

// The address of the process environment block of `process`, or null.
std::uintptr_t ReadPebAddress(HANDLE process);

// Reads `size` bytes at `address` of `process`; false unless all of them were read.
bool ReadRemote(HANDLE process, std::uintptr_t address, void* buffer, std::size_t size);

// Reads the 32-bit integer at `rva` in the image of the program that owns `window`, or the one
// that a reference stored there points to.
bool ReadImageInt(HWND window, std::uintptr_t rva, std::int32_t& value);
