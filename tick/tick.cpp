// RunTick: one timer tick of the whole system, from cursor and clock reading to the window's
// placement, and CommitTick, which makes the tick's values the previous ones.
#include "tick/tick.h"

#include "engine/geometry.h"
#include "engine/numeric.h"
#include "trajectory/playback.h"

namespace {

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

void EndExpiredDucking(const CMascot& mascot, CTickState& tick) {
    if (tick.m_zOrder == ZOrderDucked && mascot.m_elapsed - tick.m_clickTime >= kDuckSeconds) {
        tick.m_zOrder = ZOrderFront;
    }
}

// One path entry per tick, never past the last entry the smoothing has written.
void AdvancePlayIndex(const CTrajectory& store, int& playIndex) {
    if (store.m_keyIndex < 4) return;
    if (playIndex < (store.m_keyIndex - store.m_contextCount) * store.m_subSteps) {
        playIndex += 1;
    }
}

}  // namespace

bool ModeRuns(const CMascot& mascot) {
    return (mascot.m_mode >= 1 && mascot.m_mode <= 6) || mascot.m_mode == 100;
}

TickPlacement RunTick(CMascot& mascot, CTrajectory& store, CTickState& tick, int cursorX,
                      int cursorY, std::uint32_t nowMs) {
    mascot.m_targetX = static_cast<double>(cursorX) - kHalfImage;
    mascot.m_targetY = static_cast<double>(cursorY) - kHalfImage;
    mascot.UpdateClock(nowMs, tick.m_restartClock);
    if (RunMode(mascot, store)) mascot.m_tickInFrame += 1;
    ClampToScreenBox(mascot, store);
    TickPlacement placement = {SaturateToInt(mascot.m_posX), SaturateToInt(mascot.m_posY),
                               tick.m_zOrder == ZOrderFront};
    EndExpiredDucking(mascot, tick);
    AdvancePlayIndex(store, tick.m_playIndex);
    PlayBack(mascot, store, tick.m_playIndex);
    CommitTick(mascot, tick);
    if (mascot.m_frameDue == 1) mascot.m_lastFrameTime = mascot.m_elapsed;
    return placement;
}

void CommitTick(CMascot& m, const CTickState& tick) {
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
    m.m_playIndexCopy = tick.m_playIndex;
}
