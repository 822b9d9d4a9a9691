// Behaviours steered by the cursor: chase, shy cruise, lunge, flee, follow and catch.
#include <cmath>
#include <cstdlib>

#include "engine/direction.h"
#include "engine/mascot.h"
#include "engine/numeric.h"
#include "trajectory/trajectory.h"

namespace {

// Counts the key frames that began standing still.
void CountIdleFrame(CMascot& mascot) {
    if (mascot.m_speedLevel > 0) {
        mascot.m_idleFrames = 0;
        return;
    }
    mascot.m_idleFrames = CountUp(mascot.m_idleFrames);
}

void LungeAccelerate(CMascot& mascot) {
    if (mascot.m_mood < 0 || mascot.m_mood > 3) mascot.m_mood = std::rand() % 21;
    if (mascot.m_mood == 0) {
        if (mascot.m_speedLevel <= 1) mascot.m_speedLevel += std::rand() % 5;
    } else if (mascot.m_mood <= 10) {
        if (mascot.m_speedLevel <= 15) mascot.m_speedLevel += std::rand() % 6 + 5;
    } else if (mascot.m_speedLevel <= 15) {
        mascot.m_speedLevel += std::rand() % 5;
    }
}

void LungeBrake(CMascot& mascot) {
    // A lasting temper is marked so that the next lunge draws a fresh one.
    if (mascot.m_mood >= 0 && mascot.m_mood <= 3) mascot.m_mood = 666;
    if (mascot.m_speedLevel > 15) mascot.m_speedLevel = 15;
    mascot.m_speedLevel -= 3 + std::rand() % 3;
    if (mascot.m_speedLevel <= 0) mascot.m_speedLevel = 0;
}

double LastTravel(const CTrajectory& store) {
    int newest = store.m_keyIndex - 1;
    double dx = store.m_keyX[newest] - store.m_keyX[newest - 1];
    double dy = store.m_keyY[newest] - store.m_keyY[newest - 1];
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

void CMascot::Chase(CMascot& mascot, CTrajectory&) {
    mascot.m_cruiseSpeed = 150.0;
    mascot.m_step = ApproachStep(mascot.m_targetDist);
    if (mascot.m_step > 150.0) mascot.m_step = 150.0;
    if (mascot.m_targetDist < 45.0) mascot.m_step = 0.0;
    mascot.m_speedLevel = SaturateToInt(mascot.m_step * 0.13333333333333333);
    AimDirectlyAtTarget(mascot);
}

void CMascot::ShyCruise(CMascot& mascot, CTrajectory& store) {
    mascot.m_pursuit = 1;
    CruiseControl(mascot, store);
}

void CMascot::Lunge(CMascot& mascot, CTrajectory&) {
    CountIdleFrame(mascot);
    if (mascot.m_targetDist > 150.0) {
        int draw = std::rand() % 2;
        if (mascot.m_idleFrames >= draw) {
            mascot.m_cruiseSpeed = 150.0;
            mascot.m_phase = 0;
        }
    } else {
        mascot.m_phase = 1;
    }
    if (mascot.m_phase == 0) {
        LungeAccelerate(mascot);
    } else if (mascot.m_phase == 1) {
        LungeBrake(mascot);
    }
    if (mascot.m_speedLevel <= 0) mascot.m_speedLevel = 0;
    mascot.m_step = LevelStep(mascot.m_speedLevel, mascot.m_cruiseSpeed);
    if (mascot.m_targetDist >= 150.0 && mascot.m_phase == 0) AimDirectlyAtTarget(mascot);
}

void CMascot::Flee(CMascot& mascot, CTrajectory& store) {
    mascot.m_cruiseSpeed = std::rand() % 76 + 75;
    if (mascot.m_targetDist > 250.0) {
        mascot.m_speedLevel -= 1;
        if (mascot.m_speedLevel <= 0) mascot.m_speedLevel = 0;
    } else {
        mascot.m_speedLevel += std::rand() % 2 + 1;
    }
    if (mascot.m_speedLevel >= 20) {
        mascot.m_speedLevel = 20;  // the step of the previous key frame stays
    } else if (mascot.m_speedLevel <= 0) {
        mascot.m_step = 0.0;
    } else {
        mascot.m_step = LevelStep(mascot.m_speedLevel, mascot.m_cruiseSpeed);
    }
    HeadingFromDirection(mascot);
    AvoidWalls(mascot, store);
    DirectionFromHeading(mascot);
}

void CMascot::Follow(CMascot& mascot, CTrajectory&) {
    mascot.m_orbitRadius = 0;
    if (mascot.m_targetDist > 40.0) {
        mascot.m_step = 40.0;
    } else if (mascot.m_targetDist > 10.0) {
        mascot.m_step = 15.0;
    } else {
        mascot.m_step = 0.0;
    }
    mascot.m_cruiseSpeed = mascot.m_step;
    AimDirectlyAtTarget(mascot);
    mascot.m_speedLevel = 5;
}

void CMascot::Catch(CMascot& mascot, CTrajectory& store) {
    double travel = LastTravel(store);
    CountIdleFrame(mascot);
    mascot.m_cruiseSpeed = 150.0;
    if (mascot.m_phase != 2) {
        mascot.m_phase = 0;
        double slope = Quotient(mascot.m_dirY, -mascot.m_dirX);
        mascot.m_heading = std::atan2(slope, 1.0) * kRadiansToDegrees + 180.0;
        FixHeading(mascot);
    }
    if (travel >= mascot.m_targetDist) mascot.m_phase = 2;
    if (mascot.m_phase == 0 && mascot.m_speedLevel <= 10) mascot.m_speedLevel += std::rand() % 5;
    if (mascot.m_speedLevel <= 0) mascot.m_speedLevel = 0;
    mascot.m_step = LevelStep(mascot.m_speedLevel, mascot.m_cruiseSpeed);
    if (mascot.m_targetDist < 150.0) {
        mascot.m_dirX = mascot.m_prevDirX;  // hold the course committed last tick
        mascot.m_dirY = mascot.m_prevDirY;
    } else if (mascot.m_phase == 0) {
        AimDirectlyAtTarget(mascot);
    }
    if (mascot.m_phase == 2) {
        mascot.m_pursuit = 0;
        CruiseControl(mascot, store);
    }
}
