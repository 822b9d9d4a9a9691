// RunTick: one timer tick of the whole system, from cursor and clock reading to the window's
// placement, and CommitTick, which makes the tick's values the previous ones.
#include "host/tick.h"

#include "engine/numeric.h"
#include "trajectory/playback.h"

namespace {

constexpr double kCursorToImageCorner = 20.0;  // half the 40 x 40 image

// Runs the operation of the current mode; false when the mascot is idle.
bool RunMode(CMascot& mascot, CTrajectory& store) {
    switch (mascot.m_mode) {
    case 1: mascot.RunRandom2(mascot, store); return true;
    case 2: mascot.RunRandom4(mascot, store); return true;
    case 3: mascot.RunRandom8(mascot, store); return true;
    case 4: mascot.RunRandom16(mascot, store); return true;
    case 5: mascot.RunRandom32(mascot, store); return true;
    case 6: mascot.RunRandom64(mascot, store); return true;
    case 100: mascot.RunFixed(mascot, store); return true;
    default: return false;
    }
}

void EndExpiredDucking() {
    if (g_zOrder == ZOrderDucked && g_mascot.m_elapsed - g_clickTime >= kDuckSeconds) {
        g_zOrder = ZOrderFront;
    }
}

// One path entry per tick, never past the last entry the smoothing has written.
void AdvancePlayIndex(const CTrajectory& store) {
    if (store.m_keyIndex < 4) return;
    if (g_playIndex < (store.m_keyIndex - store.m_contextCount) * store.m_subSteps) {
        g_playIndex += 1;
    }
}

}  // namespace

TickPlacement RunTick(int cursorX, int cursorY, std::uint32_t nowMs) {
    g_mascot.m_targetX = static_cast<double>(cursorX) - kCursorToImageCorner;
    g_mascot.m_targetY = static_cast<double>(cursorY) - kCursorToImageCorner;
    g_mascot.UpdateClock(nowMs);
    if (RunMode(g_mascot, g_trajectory)) g_mascot.m_tickInFrame += 1;
    ClampToScreenBox(g_mascot, g_trajectory);
    TickPlacement placement = {SaturateToInt(g_mascot.m_posX), SaturateToInt(g_mascot.m_posY),
                               g_zOrder == ZOrderFront};
    EndExpiredDucking();
    AdvancePlayIndex(g_trajectory);
    PlayBack();
    CommitTick();
    if (g_mascot.m_frameDue == 1) g_mascot.m_lastFrameTime = g_mascot.m_elapsed;
    return placement;
}

void CommitTick() {
    CMascot& m = g_mascot;
    m.m_prevBehaviour = m.m_behaviour;
    m.m_prevPosX = m.m_posX;
    m.m_prevPosY = m.m_posY;
    m.m_prevTargetX = m.m_targetX;
    m.m_prevTargetY = m.m_targetY;
    m.m_prevHeading = m.m_heading;
    m.m_prevDirX = m.m_dirX;
    m.m_prevDirY = m.m_dirY;
    m.m_prevKeyX = m.m_keyX;
    m.m_prevKeyY = m.m_keyY;
    m.m_playIndexCopy = g_playIndex;
}
