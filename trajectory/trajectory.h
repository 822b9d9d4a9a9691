// CTrajectory: the key-point history, the smoothed path the window walks along,
// and the working arrays of the smoothing.
#pragma once

class CMascot;

class CTrajectory {
public:
    virtual ~CTrajectory() {}

    void Reset(CTrajectory& store);
    void Reseed(CMascot& mascot);
    void SmoothNewestSegment(CTrajectory& store);

    // Fields, in declaration order. Every field starts at zero.
    int m_contextCount = 0;
    double m_contextX[11] = {};
    double m_contextY[11] = {};
    double m_segmentX[601] = {};
    double m_segmentY[601] = {};
    int m_subSteps = 0;
    double m_pathX[6001] = {};
    double m_pathY[6001] = {};
    double m_keyX[511] = {};
    double m_keyY[511] = {};
    int m_keyIndex = 0;
    int m_needsReset = 0;
};

// Fills m_segmentX/m_segmentY with the Hermite curve between context points 1 and 2.
void InterpolateSegment(CTrajectory& store);
