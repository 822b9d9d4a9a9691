// Path smoothing: the newest segment of the key-point history becomes eleven points of a cubic
// Hermite curve, written into the path at the segment's place.
#include <cmath>
#include <cstdint>

#include "engine/numeric.h"
#include "trajectory/trajectory.h"

void CTrajectory::SmoothNewestSegment(CTrajectory& store) {
    int k = store.m_keyIndex;
    int c = store.m_contextCount;
    int n = store.m_subSteps;
    if (k < c + 1) return;
    for (int i = 0; i <= c; ++i) {
        store.m_contextX[i] = store.m_keyX[k - c + i];
        store.m_contextY[i] = store.m_keyY[k - c + i];
    }
    InterpolateSegment(store);
    int base = (k - c - 1) * n;
    for (int j = 0; j <= n; ++j) {
        store.m_pathX[base + j] = store.m_segmentX[j];
        store.m_pathY[base + j] = store.m_segmentY[j];
    }
}

namespace {

// |difference| truncated to a whole number: below 1 weighs 0, NaN weighs 0, and a magnitude
// of 2^31 or more weighs the largest int.
std::int64_t Weight(double difference) { return SaturateToInt(std::fabs(difference)); }

struct Tangents {
    double x[2];
    double y[2];
};

// Each tangent averages the differences on either side of its point, each weighted by the other.
double WeightedTangent(std::int64_t wBefore, std::int64_t wAfter, double before, double after) {
    std::int64_t sum = wBefore + wAfter;
    return (static_cast<double>(wBefore) * after + static_cast<double>(wAfter) * before) /
           static_cast<double>(sum);
}

Tangents ComputeTangents(const double* dx, const double* dy) {
    Tangents t = {{0.0, 0.0}, {0.0, 0.0}};
    for (int m = 0; m < 2; ++m) {
        std::int64_t xBefore = Weight(dx[m]);
        std::int64_t xAfter = Weight(dx[m + 1]);
        std::int64_t yBefore = Weight(dy[m]);
        std::int64_t yAfter = Weight(dy[m + 1]);
        // A point that cannot be weighted on either axis is at rest on both.
        if (xBefore + xAfter == 0 || yBefore + yAfter == 0) continue;
        t.x[m] = WeightedTangent(xBefore, xAfter, dx[m], dx[m + 1]);
        t.y[m] = WeightedTangent(yBefore, yAfter, dy[m], dy[m + 1]);
    }
    return t;
}

// Cubic Hermite between p0 and p1 with slopes m0 and m1, in a fixed evaluation order.
double Hermite(double p0, double p1, double m0, double m1, double t, double t2, double t3) {
    double a = (3.0 * (p1 - p0) - (m0 + m0) - m1) * t2;
    double b = (((p0 - p1) + (p0 - p1)) + m1 + m0) * t3;
    return ((a + b) + m0 * t) + p0;
}

// The parameter t = j / n with its square and cube by the power function.
struct CPowers {
    double t;
    double t2;
    double t3;
};

CPowers PowersAt(int j, int n) {
    double t = static_cast<double>(j) / n;
    return {t, std::pow(t, 2), std::pow(t, 3)};
}

constexpr int kUsualSubSteps = 10;

// For the usual ten sub-steps the powers are the same on every call: computed once, by the very
// same std::pow calls, so the curve points are bit for bit those of computing them each time.
const CPowers* UsualPowers() {
    static const struct CTable {
        CPowers at[kUsualSubSteps + 1];
        CTable() {
            for (int j = 0; j <= kUsualSubSteps; ++j) at[j] = PowersAt(j, kUsualSubSteps);
        }
    } table;
    return table.at;
}

// One axis of the segment: its two end values and the slopes there.
struct CAxisCurve {
    double p0;
    double p1;
    double m0;
    double m1;
    double At(const CPowers& p) const { return Hermite(p0, p1, m0, m1, p.t, p.t2, p.t3); }
};

}  // namespace

void InterpolateSegment(CTrajectory& store) {
    const double* px = store.m_contextX;
    const double* py = store.m_contextY;
    double dx[3] = {px[1] - px[0], px[2] - px[1], px[3] - px[2]};
    double dy[3] = {py[1] - py[0], py[2] - py[1], py[3] - py[2]};
    Tangents tangents = ComputeTangents(dx, dy);
    const CAxisCurve x = {px[1], px[2], tangents.x[0], tangents.x[1]};
    const CAxisCurve y = {py[1], py[2], tangents.y[0], tangents.y[1]};
    int n = store.m_subSteps;
    if (n == kUsualSubSteps) {
        const CPowers* usual = UsualPowers();
        for (int j = 0; j <= kUsualSubSteps; ++j) {
            store.m_segmentX[j] = x.At(usual[j]);
            store.m_segmentY[j] = y.At(usual[j]);
        }
        return;
    }
    for (int j = 0; j <= n; ++j) {
        CPowers p = PowersAt(j, n);
        store.m_segmentX[j] = x.At(p);
        store.m_segmentY[j] = y.At(p);
    }
}
