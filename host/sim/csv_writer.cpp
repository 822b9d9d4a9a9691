// CCsvWriter: formatting straight into a fixed buffer, so a row costs no allocation.
#include "host/sim/csv_writer.h"

#include <charconv>
#include <cmath>
#include <cstring>

void CCsvWriter::Text(const char* text) {
    std::size_t length = std::strlen(text);
    if (m_used + length > kCapacity) Flush();
    std::memcpy(m_buffer + m_used, text, length);
    m_used += length;
}

void CCsvWriter::Integer(std::int64_t value) {
    // Most columns (flags, mode, behaviour, z-order) hold a single digit.
    if (value >= 0 && value <= 9) {
        Put(static_cast<char>('0' + value));
        return;
    }
    auto result = std::to_chars(m_buffer + m_used, m_buffer + kCapacity, value);
    m_used = static_cast<std::size_t>(result.ptr - m_buffer);
}

void CCsvWriter::Unsigned(std::uint64_t value) {
    auto result = std::to_chars(m_buffer + m_used, m_buffer + kCapacity, value);
    m_used = static_cast<std::size_t>(result.ptr - m_buffer);
}

namespace {

// Whole numbers below 10^5 in magnitude have no shorter scientific form, so the shortest
// round-trip text of such a double is exactly the integer's digits.
constexpr double kPlainWholeLimit = 100000.0;

}  // namespace

void CCsvWriter::Double(double value) {
    if (std::isnan(value)) {
        Text("nan");
        return;
    }
    if (value > -kPlainWholeLimit && value < kPlainWholeLimit) {
        auto whole = static_cast<std::int32_t>(value);
        // -0.0 keeps its sign in the shortest form ("-0"), so it takes the general path.
        if (static_cast<double>(whole) == value && (whole != 0 || !std::signbit(value))) {
            Integer(whole);
            return;
        }
    }
    auto result = std::to_chars(m_buffer + m_used, m_buffer + kCapacity, value);
    m_used = static_cast<std::size_t>(result.ptr - m_buffer);
}

void CCsvWriter::EndRow() {
    Put('\n');
    if (m_used > kCapacity - kRowRoom) Flush();
}

bool CCsvWriter::Flush() {
    if (m_used > 0 && std::fwrite(m_buffer, 1, m_used, m_out) != m_used) m_failed = true;
    m_used = 0;
    if (std::fflush(m_out) != 0) m_failed = true;
    return !m_failed;
}
