// Dispatching the mascot connection's events to the host's handlers.
#include "host/x11/x_events.h"

#include <cstdlib>

namespace {

constexpr std::uint8_t kLeftButton = 1;
constexpr std::uint8_t kRightButton = 3;

// The press grabbed the pointer for this connection until the release; the menu, on the
// toolkit's connection, needs its own grab, so this one is given up first, and a round trip
// makes sure the server has done so before the menu asks.
void ReleasePointer(xcb_connection_t* c) {
    xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

void OnButton(CXDisplay& display, const xcb_button_press_event_t* press,
              const CXEventHandlers& handlers) {
    if (press->detail == kLeftButton) handlers.leftPress();
    if (press->detail != kRightButton) return;
    ReleasePointer(display.Connection());
    handlers.rightPress(press->root_x, press->root_y);
}

void OnClientMessage(CXDisplay& display, const xcb_client_message_event_t* message,
                     const CXEventHandlers& handlers) {
    if (message->type != display.Atoms().command || message->format != 32) return;
    std::uint32_t data[kMessageWords];
    for (int i = 0; i < kMessageWords; ++i) data[i] = message->data.data32[i];
    std::optional<CCommandMessage> command = DecodeCommandMessage(data);
    if (command) handlers.command(*command);
}

void Dispatch(CXDisplay& display, xcb_generic_event_t* event, const CXEventHandlers& handlers) {
    switch (event->response_type & ~kSentEventFlag) {
    case 0: handlers.requestRefused(); break;
    case XCB_BUTTON_PRESS:
        OnButton(display, reinterpret_cast<xcb_button_press_event_t*>(event), handlers);
        break;
    case XCB_CLIENT_MESSAGE:
        OnClientMessage(display, reinterpret_cast<xcb_client_message_event_t*>(event), handlers);
        break;
    case XCB_CONFIGURE_NOTIFY:
    case XCB_MAP_NOTIFY:
    case XCB_UNMAP_NOTIFY:
    case XCB_CREATE_NOTIFY:
    case XCB_DESTROY_NOTIFY:
    case XCB_REPARENT_NOTIFY:
    case XCB_CIRCULATE_NOTIFY:
    case XCB_PROPERTY_NOTIFY: handlers.windowChanged(*event); break;
    default: break;
    }
}

}  // namespace

void DispatchXEvents(CXDisplay& display, const CXEventHandlers& handlers, bool readSocket) {
    xcb_connection_t* c = display.Connection();
    // One read: reading on until the socket is empty would cost a failed read every time.
    xcb_generic_event_t* event = readSocket ? xcb_poll_for_event(c) : xcb_poll_for_queued_event(c);
    while (event) {
        Dispatch(display, event, handlers);
        std::free(event);
        event = xcb_poll_for_queued_event(c);
    }
}
