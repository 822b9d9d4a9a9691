// The command channel: the client messages that carry a command id to the running mascot and its
// answer back, `mascot --command ID` that sends them, and the pipe that carries the menu's
// commands from Qt's thread to the tick thread.
#pragma once

#include <cstdint>
#include <optional>

#include "host/x11/display.h"

// ---- The command messages -----------------------------------------------------------------------
// The X11 counterpart of posting WM_COMMAND to the Windows program's window.

// Data of a 32-bit client message: [0] the format version, [1] the command id, [2] the window
// that wants the answer (a command) or 0 (an answer), [3] and [4] zero.
constexpr std::uint32_t kCommandMessageVersion = 1;
constexpr int kMessageWords = kClientMessageWords;
constexpr std::uint32_t kMaxCommandId = 0xFFFF;  // 16 bits, as in a WM_COMMAND's low word

struct CCommandMessage {
    std::uint16_t id;
    std::uint32_t replyWindow;  // 0 in an answer
};

void EncodeCommandMessage(const CCommandMessage& message, std::uint32_t (&data)[kMessageWords]);

// The message, or nothing when the data is not one this version writes: another version, an id
// beyond 16 bits, or words that must be zero and are not.
std::optional<CCommandMessage> DecodeCommandMessage(const std::uint32_t (&data)[kMessageWords]);

// The command (or answer) that `event` carries when it is a 32-bit client message of `type`.
std::optional<CCommandMessage> CommandMessageOf(const xcb_generic_event_t& event, xcb_atom_t type);

// ---- mascot --command ---------------------------------------------------------------------------
// The sending side, and the running mascot's answer to the sender.

// Sends the id to the mascot that owns the mascot selection on $DISPLAY and waits for its
// answer; prints one line and returns the exit status (options.h).
int SendCommandToMascot(std::uint16_t id);

// Tells the sender of `command` that it was received (nothing for a sender with no window).
void AnswerCommand(const CXDisplay& display, const CCommandMessage& command);

// ---- The menu's pipe ----------------------------------------------------------------------------
// Command ids from Qt's thread (the menu) to the tick thread, and the tick thread's cue to stop.

class CCommandPipe {
public:
    CCommandPipe() = default;
    ~CCommandPipe();
    CCommandPipe(const CCommandPipe&) = delete;
    CCommandPipe& operator=(const CCommandPipe&) = delete;

    // False when the system gives no pipe.
    bool Open();
    // The end the tick thread polls: readable when ids wait or the sending end has closed.
    int ReadFd() const { return m_read; }

    // The sending side, on one thread. An id sent after Close goes nowhere.
    void Send(std::uint16_t id);
    void Close();

    // The receiving side: up to `capacity` ids that wait, without blocking; -1 once the sending
    // end has closed and nothing is left.
    int Receive(std::uint16_t* ids, int capacity);

private:
    int m_read = -1;
    int m_write = -1;
};
