// Two mascots in one process, each with a core of its own: run tick by tick in turn, each must
// write the very trace it writes when it runs alone. The C library's random source is the one
// thing they share, so only one of them draws once both are running.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host/sim/simulator.h"
#include "support/file_text.h"
#include "support/fresh_core.h"
#include "tick/command_ids.h"

namespace {

constexpr unsigned kFollowCommand = IDM_FIRST_BEHAVIOUR + 5;  // fixed behaviour 13: draws nothing

ScriptEvent Command(unsigned id) {
    ScriptEvent event;
    event.kind = ScriptEvent::Kind::Command;
    event.commandId = id;
    return event;
}

ScriptEvent Tick(int x, int y, std::uint32_t ms) {
    ScriptEvent event;
    event.kind = ScriptEvent::Kind::Tick;
    event.cursorX = x;
    event.cursorY = y;
    event.nowMs = ms;
    return event;
}

ScriptEvent Click() {
    ScriptEvent event;
    event.kind = ScriptEvent::Kind::Click;
    return event;
}

ScriptEvent Seed(unsigned seed) {
    ScriptEvent event;
    event.kind = ScriptEvent::Kind::Seed;
    event.seed = seed;
    return event;
}

// A: random modes that draw on every switch, commands and a click mid-run. B: a cursor-led
// behaviour on its own clock, ducked and then sent behind. B's commands come before A's seed, so
// the draws of their shuffles never fall among A's.
struct CScripts {
    std::vector<ScriptEvent> setupB;
    std::vector<ScriptEvent> setupA;
    std::vector<ScriptEvent> ticksA;
    std::vector<ScriptEvent> ticksB;

    CScripts() {
        setupB = {Command(kFollowCommand), Command(IDM_ALWAYS_BEHIND), Command(kFollowCommand)};
        setupA = {Seed(7), Command(IDM_RANDOM64)};
        for (int i = 0; i < 4000; ++i) {
            ticksA.push_back(Tick(100 + (i * 7) % 900, 650 - (i * 3) % 600, 5000u + 10u * i));
            ticksB.push_back(Tick(900 - (i * 5) % 800, 80 + (i * 11) % 560, 4294960000u + 10u * i));
            if (i == 1500) ticksA.push_back(Command(IDM_RANDOM16));
            if (i == 2500) ticksA.push_back(Click());
            if (i == 700) ticksB.push_back(Click());
        }
    }
};

class CRun {
public:
    CRun() : m_core(NewFreshCore(1)), m_out(std::tmpfile()) {
        m_simulator = std::make_unique<CSimulator>(*m_core, m_out);
        m_simulator->Start();
    }
    ~CRun() {
        if (m_out != nullptr) std::fclose(m_out);
    }
    void Apply(const ScriptEvent& event) { m_simulator->Apply(event); }
    void ApplyAll(const std::vector<ScriptEvent>& events) {
        for (const ScriptEvent& event : events) Apply(event);
    }
    std::string Trace() {
        m_simulator->Finish();
        return WholeFileText(m_out);
    }

private:
    std::unique_ptr<CCoreState> m_core;
    std::FILE* m_out;
    std::unique_ptr<CSimulator> m_simulator;
};

TEST(TwoMascots, InterleavedTickByTickEachWritesItsTraceAlone) {
    CScripts scripts;
    CRun aloneB;
    aloneB.ApplyAll(scripts.setupB);
    CRun aloneA;
    aloneA.ApplyAll(scripts.setupA);
    aloneA.ApplyAll(scripts.ticksA);
    aloneB.ApplyAll(scripts.ticksB);

    CRun a;
    CRun b;
    b.ApplyAll(scripts.setupB);
    a.ApplyAll(scripts.setupA);
    std::size_t nextA = 0;
    std::size_t nextB = 0;
    while (nextA < scripts.ticksA.size() || nextB < scripts.ticksB.size()) {
        if (nextA < scripts.ticksA.size()) a.Apply(scripts.ticksA[nextA++]);
        if (nextB < scripts.ticksB.size()) b.Apply(scripts.ticksB[nextB++]);
    }

    std::string traceA = a.Trace();
    std::string traceB = b.Trace();
    ASSERT_GT(traceA.size(), 100000u);
    EXPECT_TRUE(traceA == aloneA.Trace()) << "mascot A's trace changed beside mascot B";
    EXPECT_TRUE(traceB == aloneB.Trace()) << "mascot B's trace changed beside mascot A";
    EXPECT_NE(traceA, traceB);
}

}  // namespace
