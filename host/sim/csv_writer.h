// A buffered CSV writer for the trace: integers and round-trip doubles, one flush per buffer.
#pragma once

#include <cstdint>
#include <cstdio>

class CCsvWriter {
public:
    explicit CCsvWriter(std::FILE* out) : m_out(out) {}
    ~CCsvWriter() { Flush(); }
    CCsvWriter(const CCsvWriter&) = delete;
    CCsvWriter& operator=(const CCsvWriter&) = delete;

    void Text(const char* text);
    void Integer(std::int64_t value);
    void Unsigned(std::uint64_t value);
    // Shortest form that reads back to the identical double; nan, inf and -inf spelled out.
    void Double(double value);
    void Comma() { Put(','); }
    void EndRow();
    // Writes out what is buffered; false if the stream reported an error.
    bool Flush();

private:
    static constexpr std::size_t kCapacity = 1 << 16;
    static constexpr std::size_t kRowRoom = 1024;  // more than the longest row

    void Put(char c) { m_buffer[m_used++] = c; }

    std::FILE* m_out;
    char m_buffer[kCapacity];
    std::size_t m_used = 0;
    bool m_failed = false;
};
