// Deadlines instead of a timer descriptor: the poll's own timeout wakes the thread, so a tick
// costs no read of expirations.
#include "host/x11/tick_timer.h"

namespace {

constexpr std::int64_t kNsPerMs = 1000000;
constexpr std::int64_t kNsPerSecond = 1000000000;

}  // namespace

std::int64_t MonotonicNs() {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * kNsPerSecond + now.tv_nsec;
}

void CTickTimer::Start(int periodMs, std::int64_t nowNs) {
    m_periodNs = static_cast<std::int64_t>(periodMs < 1 ? 1 : periodMs) * kNsPerMs;
    m_deadlineNs = nowNs + m_periodNs;
}

timespec CTickTimer::Remaining(std::int64_t nowNs) const {
    std::int64_t left = m_deadlineNs > nowNs ? m_deadlineNs - nowNs : 0;
    timespec sleep = {};
    sleep.tv_sec = static_cast<time_t>(left / kNsPerSecond);
    sleep.tv_nsec = static_cast<long>(left % kNsPerSecond);
    return sleep;
}

bool CTickTimer::TakeDue(std::int64_t nowNs) {
    if (nowNs < m_deadlineNs) return false;
    m_deadlineNs += ((nowNs - m_deadlineNs) / m_periodNs + 1) * m_periodNs;
    return true;
}

std::uint32_t NowMs() {
    // The low 32 bits of the milliseconds: wraps every 49.7 days.
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(MonotonicNs()) /
                                      static_cast<std::uint64_t>(kNsPerMs));
}
