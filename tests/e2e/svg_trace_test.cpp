// Tests of the simulator's SVG trace: bounded point series, the picture's content, and that
// drawing leaves the CSV trace untouched.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include "host/sim/simulator.h"
#include "support/file_text.h"
#include "host/sim/svg_trace.h"
#include "support/fresh_core.h"

namespace {

// Runs `script` through a fresh simulator; returns the CSV, and the SVG when a trace is given.
std::string RunScript(const std::string& script, CSvgTrace* trace, std::string* svg) {
    auto core = NewFreshCore(1);  // each run starts as a new process would
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::fputs(script.c_str(), in);
    std::rewind(in);
    {
        CSimulator simulator(*core, out);
        if (trace != nullptr) simulator.SetObserver(trace);
        simulator.Start();
        EXPECT_EQ(simulator.RunScript(in, stderr), 0);
        EXPECT_TRUE(simulator.Finish());
    }
    if (trace != nullptr && svg != nullptr) {
        std::FILE* picture = std::tmpfile();
        EXPECT_TRUE(trace->Write(picture, "cruise <2> & co"));
        *svg = WholeFileText(picture);
        std::fclose(picture);
    }
    std::string csv = WholeFileText(out);
    std::fclose(in);
    std::fclose(out);
    return csv;
}

std::size_t CountOf(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

// Column `column` (0-based) of every data row of a CSV trace.
std::vector<std::string> Column(const std::string& csv, std::size_t column) {
    std::vector<std::string> values;
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);  // header
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string field;
        for (std::size_t i = 0; i <= column; ++i) std::getline(fields, field, ',');
        values.push_back(field);
    }
    return values;
}

constexpr const char* kCruiseScript =
    "seed 7\n"
    "run 3 500 400 1000 10\n"
    "command 32781\n"  // fixed behaviour 2, Cruise
    "run 400 500 400 1030 10\n"
    "click\n"
    "run 50 600 300 5030 10\n";

}  // namespace

TEST(PointSeries, KeepsEveryPointUpToItsCapacity) {
    static CPointSeries series;
    for (std::size_t i = 0; i < CPointSeries::kCapacity; ++i)
        series.Add(i, -static_cast<double>(i));
    ASSERT_EQ(series.Count(), CPointSeries::kCapacity);
    for (std::size_t i = 0; i < series.Count(); ++i) {
        EXPECT_EQ(series.At(i).x, static_cast<double>(i));
        EXPECT_EQ(series.At(i).y, -static_cast<double>(i));
    }
}

TEST(PointSeries, ThinsLongRunsEvenlyAndKeepsBothEnds) {
    static CPointSeries series;
    constexpr std::size_t kAdded = 5 * CPointSeries::kCapacity + 3;
    for (std::size_t i = 0; i < kAdded; ++i) series.Add(i, 0.0);
    // Five capacities need a stride of 8 (4 would still hold 1.25 capacities).
    constexpr std::size_t kStride = 8;
    ASSERT_EQ(series.Count(), (kAdded + kStride - 1) / kStride);
    for (std::size_t i = 0; i < series.Count(); ++i) {
        EXPECT_EQ(series.At(i).x, static_cast<double>(i * kStride)) << "at " << i;
    }
    EXPECT_EQ(series.Last().x, static_cast<double>(kAdded - 1));
}

TEST(SvgTrace, LeavesTheCsvTraceUnchanged) {
    static CSvgTrace trace;
    std::string svg;
    std::string plain = RunScript(kCruiseScript, nullptr, nullptr);
    std::string drawn = RunScript(kCruiseScript, &trace, &svg);
    EXPECT_TRUE(plain == drawn) << "the CSV differs once the trace observes the run";
    EXPECT_FALSE(svg.empty());
}

TEST(SvgTrace, DrawsTheBoxThePathsAndOneDotPerKeyPoint) {
    static CSvgTrace trace;
    std::string svg;
    std::string csv = RunScript(kCruiseScript, &trace, &svg);

    // The box of the image's centre: the top-left box 20..1000 x 20..680 moved by half the image.
    EXPECT_NE(svg.find("<rect x=\"40\" y=\"40\" width=\"980\" height=\"660\""), std::string::npos);
    // Window path and cursor path; the window starts at (300, 100), centre (320, 120).
    EXPECT_EQ(CountOf(svg, "<polyline"), 2u);
    EXPECT_NE(svg.find("points=\"320.0,120.0 "), std::string::npos);
    EXPECT_NE(svg.find("points=\"500.0,400.0 "), std::string::npos);
    // The title is escaped, so the picture stays well-formed XML.
    EXPECT_NE(svg.find("cruise &lt;2&gt; &amp; co"), std::string::npos);
    EXPECT_EQ(svg.find("<2>"), std::string::npos);
    EXPECT_NE(svg.find("453 ticks, 50 of them ducked"), std::string::npos);

    // One dot per distinct run of the keyIndex column: each new key point gets exactly one.
    std::vector<std::string> keyIndex = Column(csv, 8);
    std::size_t changes = 0;
    for (std::size_t i = 0; i < keyIndex.size(); ++i) {
        if (i == 0 || keyIndex[i] != keyIndex[i - 1]) ++changes;
    }
    ASSERT_GT(changes, 30u);
    EXPECT_EQ(CountOf(svg, "r=\"3\"/>"), changes);
}
