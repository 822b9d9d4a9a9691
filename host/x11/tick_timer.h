// The 10 ms tick as deadlines on the monotonic clock, which the tick thread's poll sleeps
// towards, and the millisecond clock the tick reads.
#pragma once

#include <time.h>

#include <cstdint>

// Nanoseconds of the monotonic clock.
std::int64_t MonotonicNs();

class CTickTimer {
public:
    // The first deadline one period after `nowNs`; a period below 1 ms is taken as 1 ms.
    void Start(int periodMs, std::int64_t nowNs);
    // How long to sleep until the deadline: zero once it has passed.
    timespec Remaining(std::int64_t nowNs) const;
    // True when the deadline has passed; the next one is then a period after it, and ticks
    // missed meanwhile run as one (as WM_TIMER messages do on Windows): the next deadline is the
    // first one after `nowNs`. Deadlines stay on the grid of the first, so the period never
    // drifts with the time a tick takes.
    bool TakeDue(std::int64_t nowNs);

private:
    std::int64_t m_periodNs = 1000000;
    std::int64_t m_deadlineNs = 0;
};

// Milliseconds of the monotonic clock, wrapping at 2^32 like GetTickCount.
std::uint32_t NowMs();
