// Path smoothing: the Hermite segment between the middle two of four key points, its tangent
// weights, and where the segment lands in the path.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "trajectory/trajectory.h"

namespace {

struct Axis {
    double p[4];
};

// A store with the four context values given, interpolated once.
std::unique_ptr<CTrajectory> Interpolated(Axis x, Axis y) {
    auto store = std::make_unique<CTrajectory>();
    store->m_contextCount = 3;
    store->m_subSteps = 10;
    for (int i = 0; i < 4; ++i) {
        store->m_contextX[i] = x.p[i];
        store->m_contextY[i] = y.p[i];
    }
    InterpolateSegment(*store);
    return store;
}

TEST(Smoothing, UniformStraightMotionIsEvenlySpaced) {
    auto s = Interpolated({{0, 10, 20, 30}}, {{0, 10, 20, 30}});
    for (int j = 0; j <= 10; ++j) {
        EXPECT_DOUBLE_EQ(s->m_segmentX[j], 10.0 + j) << j;
        EXPECT_DOUBLE_EQ(s->m_segmentY[j], 10.0 + j) << j;
    }
}

const double kEaseInOut[11] = {10, 10.28, 11.04, 12.16, 13.52, 15, 16.48, 17.84, 18.96, 19.72, 20};

TEST(Smoothing, MotionAlongOneAxisEasesInAndOut) {
    // The flat axis has weight sums of 0, which zero the tangents of the moving axis as well.
    auto horizontal = Interpolated({{0, 10, 20, 30}}, {{100, 100, 100, 100}});
    auto vertical = Interpolated({{100, 100, 100, 100}}, {{0, 10, 20, 30}});
    for (int j = 0; j <= 10; ++j) {
        EXPECT_NEAR(horizontal->m_segmentX[j], kEaseInOut[j], 1e-12) << j;
        EXPECT_EQ(horizontal->m_segmentY[j], 100.0) << j;
        EXPECT_NEAR(vertical->m_segmentY[j], kEaseInOut[j], 1e-12) << j;
        EXPECT_EQ(vertical->m_segmentX[j], 100.0) << j;
    }
}

TEST(Smoothing, AcceleratingSegmentUsesWeightedTangents) {
    // x tangents 40/3 and 24; y tangents 0 because one neighbouring difference is 0.
    const double expected[11] = {10,     11.424, 13.018667, 14.768, 16.656, 18.666667,
                                 20.784, 22.992, 25.274667, 27.616, 30};
    auto s = Interpolated({{0, 10, 30, 60}}, {{0, 5, 5, 0}});
    for (int j = 0; j <= 10; ++j) {
        EXPECT_NEAR(s->m_segmentX[j], expected[j], 5e-7) << j;
        EXPECT_EQ(s->m_segmentY[j], 5.0) << j;
    }
}

TEST(Smoothing, SubPixelMotionOnOneAxisZeroesBothTangents) {
    auto s = Interpolated({{0, 10, 20, 30}}, {{100, 100.5, 100.9, 101.3}});
    for (int j = 0; j <= 10; ++j) EXPECT_NEAR(s->m_segmentX[j], kEaseInOut[j], 1e-12) << j;
}

TEST(Smoothing, OppositeWholeDifferencesGiveZeroTangent) {
    // x goes 0 -> 10 -> 0 -> 10: the tangents at both inner points are 0, so the segment from
    // 10 to 0 eases in and out like the flat-axis case, mirrored.
    auto s = Interpolated({{0, 10, 0, 10}}, {{0, 10, 20, 30}});
    for (int j = 0; j <= 10; ++j) EXPECT_NEAR(s->m_segmentX[j], 20.0 - kEaseInOut[j], 1e-12) << j;
}

TEST(Smoothing, NotANumberWeighsNothing) {
    // The NaN difference weighs 0 and the other y difference is 0: the y weight sum is 0.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto s = Interpolated({{0, 10, 20, 30}}, {{nan, 100, 100, 100}});
    for (int j = 0; j <= 10; ++j) {
        EXPECT_NEAR(s->m_segmentX[j], kEaseInOut[j], 1e-12) << j;
        EXPECT_EQ(s->m_segmentY[j], 100.0) << j;
    }
}

TEST(Smoothing, HugeDifferencesSaturateWithoutOverflow) {
    // Each weight is capped at the largest int; their sum must not wrap to a negative divisor.
    const double d = 3e9;
    auto s = Interpolated({{0, d, 2 * d, 3 * d}}, {{0, d, 2 * d, 3 * d}});
    for (int j = 0; j <= 10; ++j) {
        double straight = d + d * j / 10.0;
        EXPECT_NEAR(s->m_segmentX[j], straight, straight * 1e-12) << j;
        EXPECT_NEAR(s->m_segmentY[j], straight, straight * 1e-12) << j;
    }
}

// A store after a re-seed, with key points 3..5 on a straight line.
std::unique_ptr<CTrajectory> SeededStore() {
    auto store = std::make_unique<CTrajectory>();
    store->m_contextCount = 3;
    store->m_subSteps = 10;
    const double xs[6] = {300, 400, 400, 410, 430, 460};
    for (int i = 0; i < 6; ++i) {
        store->m_keyX[i] = xs[i];
        store->m_keyY[i] = 200.0 + 3.0 * i;
    }
    return store;
}

TEST(Smoothing, SegmentsLandAtTheirPlaceInThePath) {
    auto store = SeededStore();
    store->m_keyIndex = 4;
    store->SmoothNewestSegment(*store);
    EXPECT_EQ(store->m_pathX[0], 400.0);  // key point 2, exactly
    EXPECT_NEAR(store->m_pathX[10], 410.0, 1e-9);
    store->m_keyIndex = 5;
    store->SmoothNewestSegment(*store);
    EXPECT_EQ(store->m_pathX[10], 410.0);  // the start of the second segment, exactly
    EXPECT_EQ(store->m_pathY[10], 209.0);
    EXPECT_NEAR(store->m_pathX[20], 430.0, 1e-9);
    EXPECT_EQ(store->m_pathX[21], 0.0);  // nothing written beyond the segment
}

TEST(Smoothing, RecomputingWithUnchangedKeysWritesTheSameValues) {
    auto store = SeededStore();
    store->m_keyIndex = 5;
    store->SmoothNewestSegment(*store);
    auto first = std::make_unique<CTrajectory>(*store);
    store->SmoothNewestSegment(*store);
    EXPECT_EQ(std::memcmp(first->m_pathX, store->m_pathX, sizeof store->m_pathX), 0);
    EXPECT_EQ(std::memcmp(first->m_pathY, store->m_pathY, sizeof store->m_pathY), 0);
}

TEST(Smoothing, NoCompleteSegmentChangesNothing) {
    for (int k : {2, 3}) {
        auto store = SeededStore();
        store->m_keyIndex = k;
        auto before = std::make_unique<CTrajectory>(*store);
        store->SmoothNewestSegment(*store);
        EXPECT_EQ(std::memcmp(before->m_pathX, store->m_pathX, sizeof store->m_pathX), 0) << k;
        EXPECT_EQ(std::memcmp(before->m_contextX, store->m_contextX, sizeof store->m_contextX), 0);
        EXPECT_EQ(std::memcmp(before->m_segmentX, store->m_segmentX, sizeof store->m_segmentX), 0);
    }
}

}  // namespace
