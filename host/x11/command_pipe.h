// Command ids from Qt's thread (the menu) to the tick thread, and the tick thread's cue to stop.
#pragma once

#include <cstdint>

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
