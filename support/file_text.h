// The whole contents of an open file, from its start: how the tests read back a trace.
#pragma once

#include <cstdio>
#include <string>

inline std::string WholeFileText(std::FILE* file) {
    std::rewind(file);
    std::string text;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    return text;
}
