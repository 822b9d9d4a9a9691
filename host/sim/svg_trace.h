// CSvgTrace: collects a run's window path, key points and cursor path into fixed storage and
// draws them as an SVG picture of the screen box.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "host/sim/simulator.h"

// A bounded series of points: when full it drops every other point and keeps one point in
// twice as many from then on, so a long run keeps its shape without growing.
class CPointSeries {
public:
    static constexpr std::size_t kCapacity = 4096;

    struct Point {
        double x;
        double y;
    };

    void Add(double x, double y);
    std::size_t Count() const { return m_count; }
    const Point& At(std::size_t index) const { return m_points[index]; }
    // The newest point added, kept even when decimation dropped it from the series.
    const Point& Last() const { return m_last; }
    bool Empty() const { return m_count == 0; }

private:
    Point m_points[kCapacity] = {};
    std::size_t m_count = 0;
    std::uint64_t m_seen = 0;
    std::uint64_t m_stride = 1;
    Point m_last = {};
};

class CSvgTrace : public CTickObserver {
public:
    void OnTick(const CCoreState& core, const TickPlacement& placement, std::int32_t cursorX,
                std::int32_t cursorY) override;
    // Writes the picture; `title` is shown above it (plain text, escaped here). False on a
    // write error.
    bool Write(std::FILE* out, const char* title) const;

private:
    CPointSeries m_window;  // centre of the placed window
    CPointSeries m_cursor;  // the cursor itself
    CPointSeries m_keys;    // centre of the image at each new key point
    int m_lastKeyIndex = -1;
    std::uint64_t m_ticks = 0;
    std::uint64_t m_duckedTicks = 0;
};
