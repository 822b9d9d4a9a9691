// The command channel: encoding and checking the command client messages, finding the running
// mascot through its selection and waiting for its answer, and the menu's pipe.
#include "host/x11/command_channel.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/x11/options.h"

// ---- The command messages -----------------------------------------------------------------------

void EncodeCommandMessage(const CCommandMessage& message, std::uint32_t (&data)[kMessageWords]) {
    data[0] = kCommandMessageVersion;
    data[1] = message.id;
    data[2] = message.replyWindow;
    data[3] = 0;
    data[4] = 0;
}

std::optional<CCommandMessage> DecodeCommandMessage(const std::uint32_t (&data)[kMessageWords]) {
    if (data[0] != kCommandMessageVersion || data[1] > kMaxCommandId) return std::nullopt;
    if (data[3] != 0 || data[4] != 0) return std::nullopt;
    return CCommandMessage{static_cast<std::uint16_t>(data[1]), data[2]};
}

std::optional<CCommandMessage> CommandMessageOf(const xcb_generic_event_t& event, xcb_atom_t type) {
    if ((event.response_type & ~kSentEventFlag) != XCB_CLIENT_MESSAGE) return std::nullopt;
    auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
    if (message.type != type || message.format != 32) return std::nullopt;
    std::uint32_t data[kMessageWords];
    std::memcpy(data, message.data.data32, sizeof data);
    return DecodeCommandMessage(data);
}

// ---- mascot --command ---------------------------------------------------------------------------
// Finding the running mascot through its selection, the client messages both ways, and the wait
// for the answer.

namespace {

constexpr int kAnswerTimeoutMs = 3000;

void SendMessage(const CXDisplay& display, xcb_window_t to, xcb_atom_t type,
                 const CCommandMessage& message) {
    std::uint32_t data[kMessageWords];
    EncodeCommandMessage(message, data);
    SendClientMessage(display, to, XCB_EVENT_MASK_NO_EVENT, to, type, data);
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
Answer Classify(const CXDisplay& display, const xcb_generic_event_t& event, std::uint16_t id) {
    if ((event.response_type & ~kSentEventFlag) == 0) return Answer::Refused;
    std::optional<CCommandMessage> answer = CommandMessageOf(event, display.Atoms().commandDone);
    return answer && answer->id == id ? Answer::Received : Answer::None;
}

bool AwaitAnswer(const CXDisplay& display, std::uint16_t id) {
    xcb_connection_t* c = display.Connection();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerTimeoutMs);
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            Answer answer = Classify(display, *event, id);
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
        return kExitFailure;
    }
    xcb_window_t mascot = MascotWindow(*display);
    if (mascot == XCB_NONE) {
        std::fprintf(stderr, "mascot: no mascot runs on this display\n");
        return kExitFailure;
    }
    xcb_connection_t* c = display->Connection();
    xcb_window_t self = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, self, display->Root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    SendMessage(*display, mascot, display->Atoms().command, {id, self});
    xcb_flush(c);
    if (!AwaitAnswer(*display, id)) {
        std::fprintf(stderr, "mascot: no mascot answered command %u\n", id);
        return kExitFailure;
    }
    std::printf("mascot: command %u received\n", id);
    return kExitSuccess;
}

void AnswerCommand(const CXDisplay& display, const CCommandMessage& command) {
    if (command.replyWindow == 0) return;
    SendMessage(display, command.replyWindow, display.Atoms().commandDone, {command.id, 0});
    xcb_flush(display.Connection());
}

// ---- The menu's pipe ----------------------------------------------------------------------------
// A pipe of two-byte writes: a write of at most PIPE_BUF bytes is never split, so every read of an
// even number of bytes holds whole ids.

CCommandPipe::~CCommandPipe() {
    Close();
    if (m_read >= 0) close(m_read);
}

bool CCommandPipe::Open() {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return false;
    m_read = ends[0];
    m_write = ends[1];
    // Only the receiving end must never block: the tick thread takes what waits and goes on.
    return fcntl(m_read, F_SETFL, O_NONBLOCK) == 0;
}

// Blocking: the tick thread drains the pipe every tick, so a full one only delays the menu.
void CCommandPipe::Send(std::uint16_t id) {
    if (m_write < 0) return;
    while (write(m_write, &id, sizeof id) < 0 && errno == EINTR) {
    }
}

void CCommandPipe::Close() {
    if (m_write < 0) return;
    close(m_write);
    m_write = -1;
}

int CCommandPipe::Receive(std::uint16_t* ids, int capacity) {
    ssize_t got;
    do {
        got = read(m_read, ids, static_cast<std::size_t>(capacity) * sizeof *ids);
    } while (got < 0 && errno == EINTR);
    if (got == 0) return -1;
    if (got < 0) return errno == EAGAIN ? 0 : -1;
    return static_cast<int>(static_cast<std::size_t>(got) / sizeof *ids);
}
