// The events of the mascot's own connection: button presses on the window, command messages,
// changes of windows (its own, the root's children and properties), and errors of refused
// requests.
#pragma once

#include <xcb/xcb.h>

#include <functional>

#include "host/x11/command_message.h"
#include "host/x11/x_display.h"

struct CXEventHandlers {
    std::function<void()> leftPress;
    std::function<void(int rootX, int rootY)> rightPress;  // the pointer is free again by then
    std::function<void(const CCommandMessage&)> command;
    std::function<void(const xcb_generic_event_t&)> windowChanged;
    std::function<void()> requestRefused;
};

// Handles every event waiting: only those xcb has already read when `readSocket` is false (after
// a round trip of the tick), the socket's as well when it is true.
void DispatchXEvents(CXDisplay& display, const CXEventHandlers& handlers, bool readSocket);
