// CMascot: the whole motion state of the mascot and every motion operation.
// Operations take the record itself as `mascot` (and the trajectory store as `store`).
#pragma once

class CTrajectory;

constexpr int kTicksPerFrame = 10;  // a key frame on every tenth tick of an active mode

class CMascot {
public:
    CMascot();
    virtual ~CMascot() {}

    // Clock and behaviour order.
    // restartClock: 1 makes this reading the new epoch (and is cleared).
    void UpdateClock(unsigned int nowMs, int& restartClock);
    void ShuffleOrder();

    // Step driver and modes.
    void Step(CMascot& mascot, CTrajectory& store);
    void RunFixed(CMascot& mascot, CTrajectory& store);
    void RunRandom2(CMascot& mascot, CTrajectory& store);
    void RunRandom4(CMascot& mascot, CTrajectory& store);
    void RunRandom8(CMascot& mascot, CTrajectory& store);
    void RunRandom16(CMascot& mascot, CTrajectory& store);
    void RunRandom32(CMascot& mascot, CTrajectory& store);
    void RunRandom64(CMascot& mascot, CTrajectory& store);

    // Steering helpers.
    void AimAtTarget(CMascot& mascot, CTrajectory& store);
    void HeadingFromDirection(CMascot& mascot);
    void FixHeading(CMascot& mascot);
    void AvoidWalls(CMascot& mascot, CTrajectory& store);
    void CruiseControl(CMascot& mascot, CTrajectory& store);

    // Roaming behaviours.
    void Brake(CMascot& mascot, CTrajectory& store);
    void Jitter(CMascot& mascot, CTrajectory& store);
    void Cruise(CMascot& mascot, CTrajectory& store);
    void Wander(CMascot& mascot, CTrajectory& store);
    void RetreatToCorner(CMascot& mascot, CTrajectory& store);
    void Bounce(CMascot& mascot, CTrajectory& store);

    // Cursor chasing and fleeing behaviours.
    void Chase(CMascot& mascot, CTrajectory& store);
    void ShyCruise(CMascot& mascot, CTrajectory& store);
    void Lunge(CMascot& mascot, CTrajectory& store);
    void Flee(CMascot& mascot, CTrajectory& store);
    void Follow(CMascot& mascot, CTrajectory& store);
    void Catch(CMascot& mascot, CTrajectory& store);

    // Orbiting behaviours.
    void Loop(CMascot& mascot, CTrajectory& store);
    void Tumble(CMascot& mascot, CTrajectory& store);
    void Circle(CMascot& mascot, CTrajectory& store);
    void Tremble(CMascot& mascot, CTrajectory& store);

    // Fields, in declaration order. Every field starts at zero before the constructor runs.
    int m_tickInFrame = 0;
    int m_mode = 0;
    int m_behaviour = 0;
    int m_prevBehaviour = 0;
    int m_frameDue = 0;
    double m_toTargetX = 0.0;
    double m_toTargetY = 0.0;
    double m_startTick = 0.0;
    double m_nowTick = 0.0;
    double m_lastFrameTime = 0.0;
    double m_elapsed = 0.0;
    int m_wallZone = 0;
    double m_prevDirX = 0.0;
    double m_dirX = 0.0;
    double m_prevDirY = 0.0;
    double m_dirY = 0.0;
    double m_cruiseSpeed = 0.0;
    double m_step = 0.0;
    double m_prevHeading = 0.0;
    double m_heading = 0.0;
    int m_prevQuadrant = 0;
    int m_targetQuadrant = 0;
    int m_speedLevel = 0;
    int m_phase = 0;
    int m_orbiting = 0;
    double m_prevKeyX = 0.0;
    double m_keyX = 0.0;
    double m_prevKeyY = 0.0;
    double m_keyY = 0.0;
    int m_framesInBehaviour = 0;
    double m_frameSpeedScale = 0.0;
    int m_playIndexCopy = 0;
    int m_order[16] = {};
    int m_corner = 0;
    double m_prevTargetX = 0.0;
    double m_targetX = 0.0;
    double m_prevTargetY = 0.0;
    double m_targetY = 0.0;
    double m_prevPosX = 0.0;
    double m_posX = 0.0;
    double m_prevPosY = 0.0;
    double m_posY = 0.0;
    double m_targetDist = 0.0;
    double m_targetDx = 0.0;
    double m_targetDy = 0.0;
    int m_pursuit = 0;
    int m_minLevelPick = 0;
    int m_mood = 0;
    int m_idleFrames = 0;
    int m_wanderStep = 0;
    int m_wanderBurst = 0;
    int m_wanderEnd = 0;
    int m_orbitRadius = 0;
    int m_turnSide = 0;
    double m_orbitAngle = 0.0;
    int m_bounceCount = 0;
    double m_savedHeading = 0.0;
    int m_side = 0;
    int m_laps = 0;
    double m_speedScale = 0.0;

private:
    void RunRandom(CMascot& mascot, CTrajectory& store, int poolSize, int speedScales);
    void RunBehaviour(CMascot& mascot, CTrajectory& store);
    void PlaceKeyPoint(CMascot& mascot, CTrajectory& store, int index, double angleBefore);
};

// Puts both records into their starting state: mascot at the start, history awaiting a re-seed.
void ResetMotion(CMascot& mascot, CTrajectory& store);
