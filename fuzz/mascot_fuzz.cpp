// libFuzzer target: the script reader and the whole core under hostile input. The first bytes are
// script text (read line by line, each event carried out by the simulator); the rest are raw
// operations: ticks with any cursor and reading, command ids, clicks. Every input starts from the
// start-up state, and the ticks per input are bounded.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "host/sim/script.h"
#include "host/sim/simulator.h"
#include "support/fresh_core.h"
#include "tick/commands.h"

namespace {

constexpr std::uint64_t kTickBudget = 20000;  // ticks per input, script and raw operations together
constexpr unsigned kSeed = 1;

// Reads little-endian integers from the raw part; zero once the bytes run out.
class CByteReader {
public:
    CByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_used >= m_size; }
    std::uint32_t Read(int bytes) {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            std::uint32_t byte = m_used < m_size ? m_data[m_used] : 0;
            ++m_used;
            value |= byte << (8 * i);
        }
        return value;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_used = 0;
};

// Every input starts from a fresh core of its own; static, as it is large.
CCoreState& Core() {
    static CCoreState core;
    return core;
}

// What must hold after every tick, whatever came in.
void CheckTick(const CCoreState& core, const TickPlacement& placement) {
    bool sound = placement.x >= 20 && placement.x <= 1000 && placement.y >= 20 &&
                 placement.y <= 680 && !std::isnan(core.mascot.m_posX) &&
                 !std::isnan(core.mascot.m_posY) && core.store.m_keyIndex >= 0 &&
                 core.store.m_keyIndex <= 301 && core.tick.m_playIndex >= 1 &&
                 core.tick.m_playIndex <= 2980;
    if (sound) return;
    std::fprintf(stderr, "unsound tick: placement (%d, %d) pos (%g, %g) keyIndex %d playIndex %d\n",
                 placement.x, placement.y, core.mascot.m_posX, core.mascot.m_posY,
                 core.store.m_keyIndex, core.tick.m_playIndex);
    std::abort();
}

// A parsed line must say what was wrong, or hold values in their documented ranges.
void CheckParse(LineResult result, const ScriptEvent& event, const std::string& error) {
    if (result == LineResult::Error && error.empty()) std::abort();
    if (result == LineResult::Event && event.kind == ScriptEvent::Kind::Command &&
        event.commandId > 65535) {
        std::abort();
    }
}

// Runs the script part through the reader and the simulator; returns the ticks it used.
std::uint64_t RunScriptPart(std::string_view text, CSimulator& simulator) {
    std::uint64_t ticks = 0;
    ScriptEvent event;
    std::string error;
    while (!text.empty() && ticks < kTickBudget) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        LineResult result = ParseScriptLine(line, event, error);
        CheckParse(result, event, error);
        if (result != LineResult::Event) continue;
        if (event.kind == ScriptEvent::Kind::Run && event.count > kTickBudget - ticks) {
            event.count = kTickBudget - ticks;
        }
        ticks += event.kind == ScriptEvent::Kind::Run    ? event.count
                 : event.kind == ScriptEvent::Kind::Tick ? 1
                                                         : 0;
        if (!simulator.Apply(event)) break;
    }
    return ticks;
}

// Raw operations: 0..3 a tick at (x, y) with the reading advanced by a 16-bit step, 4 a tick with
// an absolute reading, 5 a command (eight bytes, the low four the id), 6 a click, 7 up to 255 ticks
// in a row.
void RunRawPart(CCoreState& core, CByteReader& bytes, std::uint64_t ticks) {
    std::uint32_t now = bytes.Read(4);
    while (!bytes.Empty() && ticks < kTickBudget) {
        std::uint32_t op = bytes.Read(1) % 8;
        if (op == 5) {
            // Any 32-bit id, not only the 16-bit ones a window procedure passes on.
            auto id = static_cast<unsigned>(bytes.Read(4));
            bytes.Read(4);
            if (RunCommand(core.mascot, core.tick, id) == CommandResult::Exit) {
                FinishCommand(core.mascot);
            }
            continue;
        }
        if (op == 6) {
            DuckOnClick(core.mascot, core.tick);
            continue;
        }
        int x = static_cast<std::int32_t>(bytes.Read(4));
        int y = static_cast<std::int32_t>(bytes.Read(4));
        std::uint32_t repeat = op == 7 ? bytes.Read(1) : 1;
        if (op == 4)
            now = bytes.Read(4);
        else
            now += bytes.Read(2);
        for (std::uint32_t i = 0; i < repeat && ticks < kTickBudget; ++i, ++ticks, now += 10) {
            CheckTick(core, RunTick(core.mascot, core.store, core.tick, x, y, now));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::FILE* sink = std::fopen("/dev/null", "wb");
    if (sink == nullptr) return 0;
    CCoreState& core = Core();
    StartFreshCore(core, kSeed);
    // The first two bytes give the length of the script text.
    std::size_t textLength = size >= 2 ? (data[0] | (data[1] << 8)) : 0;
    std::size_t rest = size >= 2 ? size - 2 : 0;
    if (textLength > rest) textLength = rest;
    const char* text = reinterpret_cast<const char*>(data + 2);
    std::uint64_t ticks = 0;
    {
        CSimulator simulator(core, sink);
        ticks = RunScriptPart(std::string_view(text, textLength), simulator);
        simulator.Finish();
    }
    CByteReader bytes(data + 2 + textLength, rest - textLength);
    RunRawPart(core, bytes, ticks);
    return 0;
}
