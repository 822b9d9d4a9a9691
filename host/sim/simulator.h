// The simulator: carries out script events on the real core and writes one CSV row per tick.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "host/sim/csv_writer.h"
#include "host/sim/script.h"
#include "tick/core_state.h"

// Sees every tick once the core has run it, e.g. to draw the run; must not allocate per tick.
class CTickObserver {
public:
    virtual ~CTickObserver() {}
    virtual void OnTick(const CCoreState& core, const TickPlacement& placement,
                        std::int32_t cursorX, std::int32_t cursorY) = 0;
};

class CSimulator {
public:
    // The simulator drives `core`, which must outlive it; several may run side by side.
    CSimulator(CCoreState& core, std::FILE* out);

    // Puts the core into its window-creation state; writes the CSV header.
    void Start();
    // Carries out one event; false once the exit command has ended the run.
    bool Apply(const ScriptEvent& event);
    // Reads a whole script; returns the exit status (0, or 2 after a malformed line).
    int RunScript(std::FILE* in, std::FILE* errors);
    bool Finish() { return m_csv.Flush(); }
    // An optional observer of every tick (none by default); it must outlive the run.
    void SetObserver(CTickObserver* observer) { m_observer = observer; }

private:
    void Tick(std::int32_t cursorX, std::int32_t cursorY, std::uint32_t nowMs);

    CCoreState& m_core;
    CCsvWriter m_csv;
    std::uint64_t m_tickCount = 0;
    CTickObserver* m_observer = nullptr;
};
