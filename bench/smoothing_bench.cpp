// SmoothNewestSegment on its own, over a history of varied key points.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "trajectory/trajectory.h"

namespace {

constexpr int kFirstSmoothedKey = 4;
constexpr int kLastKey = 300;

// A random walk of key points with steps of up to 60 pixels, some of them below one pixel.
void FillHistory(CTrajectory& store) {
    std::srand(3);
    double x = 500.0;
    double y = 350.0;
    for (int i = 0; i <= kLastKey; ++i) {
        store.m_keyX[i] = x;
        store.m_keyY[i] = y;
        x += (std::rand() % 1201 - 600) / 10.0;
        y += (std::rand() % 1201 - 600) / (i % 7 == 0 ? 1000.0 : 10.0);
    }
}

CTrajectory g_store;

void BM_SmoothNewestSegment(benchmark::State& state) {
    g_store.Reset(g_store);
    FillHistory(g_store);
    int key = kFirstSmoothedKey;
    for (auto _ : state) {
        g_store.m_keyIndex = key;
        g_store.SmoothNewestSegment(g_store);
        benchmark::ClobberMemory();
        key = key == kLastKey ? kFirstSmoothedKey : key + 1;
    }
}

}  // namespace

BENCHMARK(BM_SmoothNewestSegment);
