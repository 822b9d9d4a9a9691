// The simulator's script format: one event per line, parsed with a clear error for bad input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct ScriptEvent {
    enum class Kind { Seed, Tick, Run, Command, Click };
    Kind kind = Kind::Tick;
    std::uint32_t seed = 0;
    std::int32_t cursorX = 0;
    std::int32_t cursorY = 0;
    std::uint32_t nowMs = 0;
    std::uint32_t stepMs = 0;     // run: added to the reading after each tick, modulo 2^32
    std::uint64_t count = 0;      // run: number of ticks
    std::uint32_t commandId = 0;  // command: 0..65535
};

enum class LineResult {
    Event,  // `event` holds the line's event
    Skip,   // blank line or comment
    Error,  // `error` says what was wrong
};

LineResult ParseScriptLine(std::string_view line, ScriptEvent& event, std::string& error);
