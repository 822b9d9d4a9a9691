// timerfd on the monotonic clock; the expirations are read without blocking.
#include "host/x11/tick_timer.h"

#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

CTickTimer::~CTickTimer() {
    if (m_fd >= 0) close(m_fd);
}

bool CTickTimer::Start(int periodMs) {
    m_fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0) return false;
    itimerspec period = {};
    period.it_interval.tv_nsec = static_cast<long>(periodMs) * 1000000L;
    period.it_value = period.it_interval;
    return timerfd_settime(m_fd, 0, &period, nullptr) == 0;
}

void CTickTimer::Acknowledge() {
    std::uint64_t expirations = 0;
    ssize_t got = read(m_fd, &expirations, sizeof expirations);
    (void)got;  // nothing waiting (EAGAIN) is as good as taken
}

std::uint32_t NowMs() {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                       static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);  // the low 32 bits: wraps every 49.7 days
}
