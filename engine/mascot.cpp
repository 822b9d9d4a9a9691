// Construction of the mascot record and ResetMotion, the starting state at window creation.
#include "engine/mascot.h"

#include <cstdlib>
#include <ctime>

#include "engine/geometry.h"
#include "trajectory/trajectory.h"

CMascot::CMascot() {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    m_orbitAngle = 0.0;
    m_savedHeading = 0.0;
    m_wanderStep = 0;
    m_orbitRadius = 0;
    m_bounceCount = 0;
    m_idleFrames = 0;
    m_side = 0;
    m_laps = 0;
    m_mode = 0;
    m_speedScale = 1.0;
    // Corner retreat needs a corner even before the command that draws one.
    m_corner = 1;
}

namespace {

void ResetStore(CTrajectory& store) {
    store.m_keyIndex = 0;
    store.m_contextCount = 0;
    store.m_pathX[0] = kStartX;
    store.m_pathX[1] = kStartX;
    store.m_pathY[0] = kStartY;
    store.m_pathY[1] = kStartY;
    store.m_keyX[0] = kStartX;
    store.m_keyY[0] = kStartY;
    store.m_needsReset = 1;
}

void ResetPositions(CMascot& mascot) {
    mascot.m_posX = mascot.m_prevPosX = kStartX;
    mascot.m_targetX = mascot.m_prevTargetX = kStartX;
    mascot.m_keyX = mascot.m_prevKeyX = kStartX;
    mascot.m_posY = mascot.m_prevPosY = kStartY;
    mascot.m_targetY = mascot.m_prevTargetY = kStartY;
    mascot.m_keyY = mascot.m_prevKeyY = kStartY;
}

void ResetMotionVariables(CMascot& mascot) {
    mascot.m_speedLevel = 1;
    mascot.m_step = 0.0;
    mascot.m_cruiseSpeed = 100.0;
    mascot.m_heading = mascot.m_prevHeading = 0.0;
    mascot.m_dirX = mascot.m_prevDirX = 0.0;
    mascot.m_dirY = mascot.m_prevDirY = 0.0;
    mascot.m_toTargetX = mascot.m_toTargetY = 0.0;
    mascot.m_targetQuadrant = mascot.m_prevQuadrant = 0;
}

void ResetClockAndDispatch(CMascot& mascot) {
    mascot.m_startTick = mascot.m_nowTick = 0.0;
    mascot.m_elapsed = mascot.m_lastFrameTime = 0.0;
    mascot.m_frameDue = 0;
    mascot.m_tickInFrame = 0;
    mascot.m_behaviour = mascot.m_prevBehaviour = 0;
}

}  // namespace

void ResetMotion(CMascot& mascot, CTrajectory& store) {
    ResetStore(store);
    ResetPositions(mascot);
    ResetMotionVariables(mascot);
    ResetClockAndDispatch(mascot);
}
