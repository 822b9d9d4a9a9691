// Real mouse input through the system's input queue, and waiting for what it causes.
#pragma once

#include <windows.h>

#include <functional>

// Moves the pointer to (x, y) and presses and releases a button there: `down` and `up` are the
// MOUSEEVENTF_ flags of one button. False when the system did not take the input.
bool ClickAt(int x, int y, DWORD down, DWORD up);

// The same, then dispatches this thread's messages until the button's release has been taken
// from the queue or `timeoutMs` have passed; false if it was not.
bool ClickAndDispatch(int x, int y, DWORD down, DWORD up, DWORD timeoutMs);

// Dispatches this thread's messages until `done` holds or `timeoutMs` have passed; returns
// whether it holds.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
