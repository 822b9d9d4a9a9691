// The simulator: carries out script events on the real core and writes one CSV row per tick.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "sim/csv_writer.h"
#include "sim/script.h"

class CSimulator {
public:
    explicit CSimulator(std::FILE* out);

    // Puts the core into its window-creation state; writes the CSV header.
    void Start();
    // Carries out one event; false once the exit command has ended the run.
    bool Apply(const ScriptEvent& event);
    // Reads a whole script; returns the exit status (0, or 2 after a malformed line).
    int RunScript(std::FILE* in, std::FILE* errors);
    bool Finish() { return m_csv.Flush(); }

private:
    void Tick(std::int32_t cursorX, std::int32_t cursorY, std::uint32_t nowMs);

    CCsvWriter m_csv;
    std::uint64_t m_tickCount = 0;
};
