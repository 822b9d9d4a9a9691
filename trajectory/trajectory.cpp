// The trajectory store's own operations: Reset and the one-time Reseed of the history.
#include "trajectory/trajectory.h"

#include "engine/mascot.h"
#include "engine/numeric.h"

namespace {
constexpr int kContextCount = 3;
constexpr int kSubSteps = 10;
}  // namespace

void CTrajectory::Reset(CTrajectory& store) {
    store.m_contextCount = kContextCount;
    store.m_keyIndex = kContextCount;
    store.m_subSteps = kSubSteps;
}

void CTrajectory::Reseed(CMascot& mascot) {
    Reset(*this);
    for (int i = 1; i < m_contextCount; ++i) {
        m_keyX[i] = mascot.m_posX;
        m_keyY[i] = mascot.m_posY;
    }
    m_needsReset = 0;
    m_keyIndex = m_contextCount - 1;
    if (mascot.m_orbiting == 1) {
        // The orbit centre moves onto the current position, to whole pixels.
        mascot.m_keyX = SaturateToInt(m_keyX[m_keyIndex - 1]);
        mascot.m_keyY = SaturateToInt(m_keyY[m_keyIndex - 1]);
    }
}
