// Finding the running mascot through its selection, the client messages both ways, and the
// wait for the answer.
#include "host/x11/command_channel.h"

#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kAnswerTimeoutMs = 3000;

void SendMessage(const CXDisplay& display, xcb_window_t to, xcb_atom_t type,
                 const CCommandMessage& message) {
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = to;
    event.type = type;
    std::uint32_t data[kMessageWords];
    EncodeCommandMessage(message, data);
    std::memcpy(event.data.data32, data, sizeof data);
    // xcb sends 32 bytes of event whatever the type's size.
    char wire[32] = {};
    std::memcpy(wire, &event, sizeof event < sizeof wire ? sizeof event : sizeof wire);
    xcb_send_event(display.Connection(), 0, to, XCB_EVENT_MASK_NO_EVENT, wire);
}

xcb_window_t MascotWindow(const CXDisplay& display) {
    xcb_connection_t* c = display.Connection();
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
        c, xcb_get_selection_owner(c, display.Atoms().mascotSelection), nullptr);
    xcb_window_t owner = reply ? reply->owner : XCB_NONE;
    std::free(reply);
    return owner;
}

enum class Answer { Received, Refused, None };

// The answer to `id` on `window`, or an error: the mascot's window went before it got the
// message.
Answer Classify(const CXDisplay& display, xcb_generic_event_t* event, std::uint16_t id) {
    std::uint8_t type = event->response_type & ~kSentEventFlag;
    if (type == 0) return Answer::Refused;
    if (type != XCB_CLIENT_MESSAGE) return Answer::None;
    auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
    if (message->type != display.Atoms().commandDone) return Answer::None;
    std::uint32_t data[kMessageWords];
    std::memcpy(data, message->data.data32, sizeof data);
    std::optional<CCommandMessage> answer = DecodeCommandMessage(data);
    return answer && answer->id == id ? Answer::Received : Answer::None;
}

bool AwaitAnswer(const CXDisplay& display, std::uint16_t id) {
    xcb_connection_t* c = display.Connection();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerTimeoutMs);
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            Answer answer = Classify(display, event, id);
            std::free(event);
            if (answer != Answer::None) return answer == Answer::Received;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || display.Broken()) return false;
        pollfd socket = {xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&socket, 1, static_cast<int>(left.count()));
    }
}

}  // namespace

int SendCommandToMascot(std::uint16_t id) {
    std::unique_ptr<CXDisplay> display = CXDisplay::Open();
    if (!display) {
        std::fprintf(stderr, "mascot: no X display to send command %u to\n", id);
        return kExitNoMascot;
    }
    xcb_window_t mascot = MascotWindow(*display);
    if (mascot == XCB_NONE) {
        std::fprintf(stderr, "mascot: no mascot runs on this display\n");
        return kExitNoMascot;
    }
    xcb_connection_t* c = display->Connection();
    xcb_window_t self = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, self, display->Root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    SendMessage(*display, mascot, display->Atoms().command, {id, self});
    xcb_flush(c);
    if (!AwaitAnswer(*display, id)) {
        std::fprintf(stderr, "mascot: no mascot answered command %u\n", id);
        return kExitNoMascot;
    }
    std::printf("mascot: command %u received\n", id);
    return kExitReceived;
}

void AnswerCommand(const CXDisplay& display, const CCommandMessage& command) {
    if (command.replyWindow == 0) return;
    SendMessage(display, command.replyWindow, display.Atoms().commandDone, {command.id, 0});
    xcb_flush(display.Connection());
}
