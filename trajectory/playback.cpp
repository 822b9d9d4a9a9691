// The screen-box clamp and the playback of the smoothed path, with the compaction that lets the
// fixed arrays serve a run of any length.
#include "trajectory/playback.h"

#include "engine/mascot.h"
#include "trajectory/trajectory.h"

namespace {

constexpr int kCompactAfterKeyIndex = 300;

// Above the upper bound becomes the bound; anything not at or above the lower bound (NaN too)
// becomes the lower bound.
double Clamp(double value, double lower, double upper) {
    if (value > upper) value = upper;
    if (!(value >= lower)) value = lower;
    return value;
}

// Moves the newest points to the start of the arrays; the newest key point itself is dropped.
void Compact(CTrajectory& store, int playIndex) {
    int c = store.m_contextCount;
    int k = store.m_keyIndex;
    double pathX = store.m_pathX[playIndex - 2];
    double pathY = store.m_pathY[playIndex - 2];
    double keyX = store.m_keyX[k - 2];
    double keyY = store.m_keyY[k - 2];
    for (int i = 1; i < c; ++i) {
        store.m_pathX[i] = pathX;
        store.m_pathY[i] = pathY;
        store.m_keyX[i] = keyX;
        store.m_keyY[i] = keyY;
    }
    store.m_pathX[c] = store.m_pathX[playIndex - 1];
    store.m_pathY[c] = store.m_pathY[playIndex - 1];
    store.m_keyX[c] = store.m_keyX[k - 1];
    store.m_keyY[c] = store.m_keyY[k - 1];
    store.m_keyIndex = c;
}

}  // namespace

void ClampToScreenBox(CMascot& mascot, CTrajectory& store) {
    mascot.m_posX = Clamp(mascot.m_posX, kScreenLeft, kScreenRight);
    mascot.m_posY = Clamp(mascot.m_posY, kScreenTop, kScreenBottom);
    int k = store.m_keyIndex;
    store.m_keyX[k] = Clamp(store.m_keyX[k], kScreenLeft, kScreenRight);
    store.m_keyY[k] = Clamp(store.m_keyY[k], kScreenTop, kScreenBottom);
}

void PlayBack(CMascot& mascot, CTrajectory& store, int& playIndex) {
    mascot.m_posX = store.m_pathX[playIndex];
    mascot.m_posY = store.m_pathY[playIndex];
    if (store.m_keyIndex <= kCompactAfterKeyIndex) return;
    Compact(store, playIndex);
    playIndex = 1;
}
