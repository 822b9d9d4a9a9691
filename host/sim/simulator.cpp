// CSimulator: events to core calls, ticks to CSV rows.
#include "host/sim/simulator.h"

#include <cstdlib>

#include "tick/commands.h"

namespace {

constexpr const char* kHeader =
    "tick,x,y,topmost,posX,posY,mode,behaviour,keyIndex,playIndex,speedLevel,step,heading,"
    "orbitAngle,orbitRadius,zOrder\n";

// Reads one line into `line` without limit on its length; false at end of input.
bool ReadLine(std::FILE* in, std::string& line) {
    line.clear();
    int c;
    while ((c = std::fgetc(in)) != EOF) {
        if (c == '\n') return true;
        line.push_back(static_cast<char>(c));
    }
    return !line.empty();
}

}  // namespace

CSimulator::CSimulator(CCoreState& core, std::FILE* out) : m_core(core), m_csv(out) {}

void CSimulator::Start() {
    ResetMotion(m_core.mascot, m_core.store);
    m_csv.Text(kHeader);
}

void CSimulator::Tick(std::int32_t cursorX, std::int32_t cursorY, std::uint32_t nowMs) {
    TickPlacement placement =
        RunTick(m_core.mascot, m_core.store, m_core.tick, cursorX, cursorY, nowMs);
    const CMascot& m = m_core.mascot;
    m_csv.Unsigned(m_tickCount++);
    // One field a line, in the header's order.
    // clang-format off
    m_csv.Comma(); m_csv.Integer(placement.x);
    m_csv.Comma(); m_csv.Integer(placement.y);
    m_csv.Comma(); m_csv.Integer(placement.topmost ? 1 : 0);
    m_csv.Comma(); m_csv.Double(m.m_posX);
    m_csv.Comma(); m_csv.Double(m.m_posY);
    m_csv.Comma(); m_csv.Integer(m.m_mode);
    m_csv.Comma(); m_csv.Integer(m.m_behaviour);
    m_csv.Comma(); m_csv.Integer(m_core.store.m_keyIndex);
    m_csv.Comma(); m_csv.Integer(m_core.tick.m_playIndex);
    m_csv.Comma(); m_csv.Integer(m.m_speedLevel);
    m_csv.Comma(); m_csv.Double(m.m_step);
    m_csv.Comma(); m_csv.Double(m.m_heading);
    m_csv.Comma(); m_csv.Double(m.m_orbitAngle);
    m_csv.Comma(); m_csv.Integer(m.m_orbitRadius);
    m_csv.Comma(); m_csv.Integer(m_core.tick.m_zOrder);
    // clang-format on
    m_csv.EndRow();
    if (m_observer != nullptr) m_observer->OnTick(m_core, placement, cursorX, cursorY);
}

bool CSimulator::Apply(const ScriptEvent& event) {
    switch (event.kind) {
    case ScriptEvent::Kind::Seed: std::srand(event.seed); return true;
    case ScriptEvent::Kind::Tick: Tick(event.cursorX, event.cursorY, event.nowMs); return true;
    case ScriptEvent::Kind::Run: {
        std::uint32_t now = event.nowMs;
        for (std::uint64_t i = 0; i < event.count; ++i, now += event.stepMs) {
            Tick(event.cursorX, event.cursorY, now);
        }
        return true;
    }
    case ScriptEvent::Kind::Command:
        if (RunCommand(m_core.mascot, m_core.tick, event.commandId) != CommandResult::Exit) {
            return true;
        }
        FinishCommand(m_core.mascot);
        return false;
    case ScriptEvent::Kind::Click: DuckOnClick(m_core.mascot, m_core.tick); return true;
    }
    return true;
}

int CSimulator::RunScript(std::FILE* in, std::FILE* errors) {
    std::string line;
    std::string error;
    ScriptEvent event;
    for (unsigned long lineNumber = 1; ReadLine(in, line); ++lineNumber) {
        LineResult result = ParseScriptLine(line, event, error);
        if (result == LineResult::Skip) continue;
        if (result == LineResult::Error) {
            m_csv.Flush();
            std::fprintf(errors, "mascot-sim: line %lu: %s\n", lineNumber, error.c_str());
            return 2;
        }
        if (!Apply(event)) break;
    }
    return 0;
}
