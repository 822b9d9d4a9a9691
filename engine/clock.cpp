// The key-frame clock (elapsed seconds, due frames) and the shuffled behaviour order.
#include <cstdint>
#include <cstdlib>

#include "engine/mascot.h"
#include "engine/numeric.h"

namespace {

constexpr double kFrameSpacing = 0.05;  // seconds between due frames

// The millisecond readings are 32-bit counts; their difference is taken modulo 2^32, so the
// clock keeps running across the wrap after 49.7 days.
double SecondsBetween(double startMs, double nowMs) {
    auto start = static_cast<std::uint32_t>(static_cast<std::int64_t>(startMs));
    auto now = static_cast<std::uint32_t>(static_cast<std::int64_t>(nowMs));
    return static_cast<double>(static_cast<std::uint32_t>(now - start)) * 0.001;
}

}  // namespace

void CMascot::UpdateClock(unsigned int nowMs, int& restartClock) {
    m_nowTick = static_cast<double>(nowMs);
    if (restartClock == 1) {
        m_startTick = m_nowTick;
        restartClock = 0;
    }
    // Both readings hold whole 32-bit values; anything else (a hand-set field) counts from 0.
    bool valid = m_startTick >= 0.0 && m_startTick <= 4294967295.0;
    m_elapsed = SecondsBetween(valid ? m_startTick : 0.0, m_nowTick);
    m_frameDue = (m_elapsed - m_lastFrameTime >= kFrameSpacing || m_elapsed == 0.0) ? 1 : 0;
}

void CMascot::ShuffleOrder() {
    bool placed[16] = {};
    for (int slot = 0; slot < 16; ++slot) {
        int id;
        do {
            id = std::rand() % 8 + (slot % 2 == 1 ? 8 : 0);
            m_order[slot] = id;
        } while (placed[id]);
        placed[id] = true;
    }
}
