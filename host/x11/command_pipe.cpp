// A pipe of two-byte writes: a write of at most PIPE_BUF bytes is never split, so every read of
// an even number of bytes holds whole ids.
#include "host/x11/command_pipe.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

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
