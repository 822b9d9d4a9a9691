// The 10 ms timer as a file descriptor (timerfd), and the millisecond clock the tick reads.
#pragma once

#include <cstdint>

class CTickTimer {
public:
    CTickTimer() = default;
    ~CTickTimer();
    CTickTimer(const CTickTimer&) = delete;
    CTickTimer& operator=(const CTickTimer&) = delete;

    // Starts the periodic timer; false when the system gives no timer.
    bool Start(int periodMs);
    int Fd() const { return m_fd; }
    // Takes the expirations waiting on the descriptor; ticks missed meanwhile run as one, as
    // WM_TIMER messages do on Windows.
    void Acknowledge();

private:
    int m_fd = -1;
};

// Milliseconds of the monotonic clock, wrapping at 2^32 like GetTickCount.
std::uint32_t NowMs();
