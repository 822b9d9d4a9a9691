// The step driver: on every tick it aims at the target and smooths the newest segment; on every
// tenth tick it runs the current behaviour and places the next key point. Also the seven modes.
#include <cmath>
#include <cstdlib>

#include "engine/mascot.h"
#include "engine/numeric.h"
#include "trajectory/trajectory.h"

namespace {

constexpr int kFramesPerBehaviour = 20;

// The ids in rows of eight, as the behaviour table reads.
// clang-format off
enum BehaviourId {
    kBrake, kJitter, kCruise, kWander, kLoop, kTumble, kRetreatToCorner, kBounce,
    kChase, kShyCruise, kLunge, kFlee, kCircle, kFollow, kTremble, kCatch,
};
// clang-format on

bool IsOrbiting(int behaviour) {
    return behaviour == kLoop || behaviour == kTumble || behaviour == kCircle ||
           behaviour == kTremble;
}

}  // namespace

void CMascot::Step(CMascot& mascot, CTrajectory& store) {
    double angleBefore = mascot.m_orbitAngle;
    AimAtTarget(mascot, store);
    if (mascot.m_tickInFrame == kTicksPerFrame) mascot.m_tickInFrame = 0;
    if (mascot.m_tickInFrame == 0) {
        if (store.m_needsReset == 1) {
            store.Reseed(mascot);
        } else {
            store.m_keyIndex += 1;
            int index = store.m_keyIndex;
            RunBehaviour(mascot, store);
            mascot.m_frameSpeedScale = mascot.m_speedScale;
            PlaceKeyPoint(mascot, store, index, angleBefore);
        }
    }
    store.SmoothNewestSegment(store);
}

void CMascot::RunBehaviour(CMascot& mascot, CTrajectory& store) {
    switch (mascot.m_behaviour) {
    case kBrake: Brake(mascot, store); break;
    case kJitter: Jitter(mascot, store); break;
    case kCruise: Cruise(mascot, store); break;
    case kWander: Wander(mascot, store); break;
    case kLoop: Loop(mascot, store); break;
    case kTumble: Tumble(mascot, store); break;
    case kRetreatToCorner: RetreatToCorner(mascot, store); break;
    case kBounce: Bounce(mascot, store); break;
    case kChase: Chase(mascot, store); break;
    case kShyCruise: ShyCruise(mascot, store); break;
    case kLunge: Lunge(mascot, store); break;
    case kFlee: Flee(mascot, store); break;
    case kCircle: Circle(mascot, store); break;
    case kFollow: Follow(mascot, store); break;
    case kTremble: Tremble(mascot, store); break;
    case kCatch:
        // Entering Catch anew starts a fresh dash even if the last stint ended caught.
        if (mascot.m_prevBehaviour != kCatch && mascot.m_phase == 2) mascot.m_phase = 0;
        Catch(mascot, store);
        break;
    default: break;  // no such behaviour: the key point keeps the last direction and step
    }
    mascot.m_orbiting = IsOrbiting(mascot.m_behaviour) ? 1 : 0;
    if (mascot.m_behaviour == kTremble) {
        mascot.m_orbitRadius = mascot.m_orbitRadius * SaturateToInt(mascot.m_speedScale);
    }
}

void CMascot::PlaceKeyPoint(CMascot& mascot, CTrajectory& store, int index, double angleBefore) {
    if (mascot.m_orbiting == 1) {
        double angle = mascot.m_orbitAngle;
        mascot.m_orbitAngle = angle + (angle - angleBefore) * (mascot.m_speedScale - 1.0);
        if (mascot.m_orbitAngle >= 360.0) mascot.m_orbitAngle = mascot.m_orbitAngle - 360.0;
        double radians = mascot.m_orbitAngle * kOrbitToRadians;
        double radius = mascot.m_orbitRadius;
        store.m_keyX[index] = mascot.m_keyX - std::sin(radians) * radius;
        store.m_keyY[index] = mascot.m_keyY + std::cos(radians) * radius;
        return;
    }
    // Stored back: a behaviour that does not recompute its step has it scaled again next time.
    mascot.m_step = mascot.m_step * mascot.m_speedScale;
    store.m_keyX[index] = mascot.m_step * mascot.m_dirX + store.m_keyX[index - 1];
    store.m_keyY[index] = mascot.m_step * mascot.m_dirY + store.m_keyY[index - 1];
    mascot.m_keyX = store.m_keyX[index];
    mascot.m_keyY = store.m_keyY[index];
}

void CMascot::RunFixed(CMascot& mascot, CTrajectory& store) { Step(mascot, store); }

// speedScales: 1 keeps scale 1.0; 2 draws 0.5 or 1.5; 4 draws 0.25, 0.75, 1.25 or 1.75.
void CMascot::RunRandom(CMascot& mascot, CTrajectory& store, int poolSize, int speedScales) {
    if (mascot.m_frameDue == 1) mascot.m_framesInBehaviour += 1;
    if (mascot.m_framesInBehaviour == kFramesPerBehaviour) {
        mascot.m_behaviour = mascot.m_order[std::rand() % poolSize];
        mascot.m_framesInBehaviour = 0;
        if (speedScales == 2) {
            mascot.m_speedScale = std::rand() % 2 + 0.5;
        } else if (speedScales == 4) {
            mascot.m_speedScale = (std::rand() % 4) * 0.5 + 0.25;
        } else {
            mascot.m_speedScale = 1.0;
        }
    }
    Step(mascot, store);
}

void CMascot::RunRandom2(CMascot& mascot, CTrajectory& store) { RunRandom(mascot, store, 2, 1); }
void CMascot::RunRandom4(CMascot& mascot, CTrajectory& store) { RunRandom(mascot, store, 4, 1); }
void CMascot::RunRandom8(CMascot& mascot, CTrajectory& store) { RunRandom(mascot, store, 8, 1); }
void CMascot::RunRandom16(CMascot& mascot, CTrajectory& store) { RunRandom(mascot, store, 16, 1); }
void CMascot::RunRandom32(CMascot& mascot, CTrajectory& store) { RunRandom(mascot, store, 16, 2); }
void CMascot::RunRandom64(CMascot& mascot, CTrajectory& store) { RunRandom(mascot, store, 16, 4); }
