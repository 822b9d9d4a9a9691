// Parsing of simulator script lines: words, fields and their ranges.
#include "host/sim/script.h"

#include <charconv>
#include <limits>

namespace {

constexpr std::size_t kMaxFields = 6;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Splits on white space; returns how many tokens there were (more than kMaxFields counts as
// kMaxFields + 1).
std::size_t Tokenize(std::string_view line, std::string_view* tokens) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i == line.size()) break;
        std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        if (count == kMaxFields + 1) return count;
        if (count < kMaxFields) tokens[count] = line.substr(start, i - start);
        ++count;
    }
    return count;
}

template <typename T>
bool ParseInteger(std::string_view token, T& value) {
    const char* end = token.data() + token.size();
    auto result = std::from_chars(token.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

struct FieldInfo {
    const char* name;
    const char* kind;
};

std::string Quoted(std::string_view token) {
    constexpr std::size_t kShown = 40;
    std::string text(token.substr(0, kShown));
    if (token.size() > kShown) text += "...";
    return "'" + text + "'";
}

template <typename T>
bool ReadField(std::string_view word, const std::string_view* tokens, std::size_t index,
               FieldInfo field, T& value, std::string& error) {
    if (ParseInteger(tokens[index], value)) return true;
    error = std::string(word) + ": field " + std::to_string(index) + " (" + field.name +
            ") is not " + field.kind + ": " + Quoted(tokens[index]);
    return false;
}

bool CheckCount(std::string_view word, std::size_t have, std::size_t want, const char* usage,
                std::string& error) {
    if (have == want) return true;
    error = std::string(word) + (have < want ? ": missing field" : ": too many fields") +
            " (usage: " + usage + ")";
    return false;
}

constexpr FieldInfo kSeed = {"S", "an unsigned 32-bit integer"};
constexpr FieldInfo kX = {"X", "a signed 32-bit integer"};
constexpr FieldInfo kY = {"Y", "a signed 32-bit integer"};
constexpr FieldInfo kMs = {"MS", "an unsigned 32-bit integer"};
constexpr FieldInfo kCount = {"N", "an unsigned 64-bit integer"};
constexpr FieldInfo kStep = {"DT", "an unsigned 32-bit integer"};
constexpr FieldInfo kId = {"ID", "an integer 0..65535"};

bool ParseTick(const std::string_view* t, std::size_t n, ScriptEvent& e, std::string& error) {
    e.kind = ScriptEvent::Kind::Tick;
    return CheckCount(t[0], n, 4, "tick X Y MS", error) &&
           ReadField(t[0], t, 1, kX, e.cursorX, error) &&
           ReadField(t[0], t, 2, kY, e.cursorY, error) &&
           ReadField(t[0], t, 3, kMs, e.nowMs, error);
}

bool ParseRun(const std::string_view* t, std::size_t n, ScriptEvent& e, std::string& error) {
    e.kind = ScriptEvent::Kind::Run;
    return CheckCount(t[0], n, 6, "run N X Y MS DT", error) &&
           ReadField(t[0], t, 1, kCount, e.count, error) &&
           ReadField(t[0], t, 2, kX, e.cursorX, error) &&
           ReadField(t[0], t, 3, kY, e.cursorY, error) &&
           ReadField(t[0], t, 4, kMs, e.nowMs, error) &&
           ReadField(t[0], t, 5, kStep, e.stepMs, error);
}

bool ParseCommand(const std::string_view* t, std::size_t n, ScriptEvent& e, std::string& error) {
    e.kind = ScriptEvent::Kind::Command;
    std::uint16_t id = 0;
    if (!CheckCount(t[0], n, 2, "command ID", error) || !ReadField(t[0], t, 1, kId, id, error)) {
        return false;
    }
    e.commandId = id;
    return true;
}

bool ParseEvent(const std::string_view* t, std::size_t n, ScriptEvent& e, std::string& error) {
    std::string_view word = t[0];
    if (word == "tick") return ParseTick(t, n, e, error);
    if (word == "run") return ParseRun(t, n, e, error);
    if (word == "command") return ParseCommand(t, n, e, error);
    if (word == "seed") {
        e.kind = ScriptEvent::Kind::Seed;
        return CheckCount(word, n, 2, "seed S", error) &&
               ReadField(word, t, 1, kSeed, e.seed, error);
    }
    if (word == "click") {
        e.kind = ScriptEvent::Kind::Click;
        return CheckCount(word, n, 1, "click", error);
    }
    error = "unknown word " + Quoted(word) + " (expected seed, tick, run, command or click)";
    return false;
}

}  // namespace

LineResult ParseScriptLine(std::string_view line, ScriptEvent& event, std::string& error) {
    std::string_view tokens[kMaxFields];
    std::size_t count = Tokenize(line, tokens);
    if (count == 0 || tokens[0].front() == '#') return LineResult::Skip;
    if (count > kMaxFields) {
        error = "too many fields (at most " + std::to_string(kMaxFields) + ")";
        return LineResult::Error;
    }
    event = ScriptEvent();
    return ParseEvent(tokens, count, event, error) ? LineResult::Event : LineResult::Error;
}
