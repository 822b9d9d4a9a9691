// Counting another process's GDI and USER objects: GetGuiResources on Windows, Wine's handle
// tables where that answers 0.
#include "probe_objects.h"

#include <cstdint>
#include <vector>

#include "probe_target.h"
#include "support/handle_count.h"

namespace {

// The GDI handle table that the process environment block points to (64-bit offsets).
constexpr std::uintptr_t kPebGdiHandleTable = 0xF8;
constexpr std::size_t kGdiTableEntries = 0x10000;
constexpr int kGdiReadings = 8;
constexpr DWORD kGdiReadingPauseMs = 7;  // not a divisor of the 10 to 16 ms tick

struct GdiTableEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;  // 0 marks a free entry
    std::uint8_t flags;
    std::uint64_t userPointer;
};
static_assert(sizeof(GdiTableEntry) == 24, "the 64-bit table entry");

// Counts the used entries of the process's GDI handle table by type; false if it is unreadable.
bool CountGdiEntries(HANDLE process, long (&perType)[32]) {
    std::uintptr_t peb = ReadPebAddress(process);
    std::uintptr_t table = 0;
    if (peb == 0 || !ReadRemote(process, peb + kPebGdiHandleTable, &table, sizeof table) ||
        table == 0) {
        return false;
    }
    std::vector<GdiTableEntry> entries(kGdiTableEntries);
    if (!ReadRemote(process, table, entries.data(), entries.size() * sizeof(GdiTableEntry))) {
        return false;
    }
    for (long& count : perType) count = 0;
    for (const GdiTableEntry& entry : entries) {
        if (entry.type != 0) ++perType[entry.type & 31];
    }
    return true;
}

// The fewest used entries over a few readings: a tick that is building the next shape holds a
// few objects for a moment, and the count is of those that stay.
long CountUsedGdiEntries(HANDLE process) {
    long fewest = -1;
    for (int reading = 0; reading < kGdiReadings; ++reading) {
        if (reading > 0) Sleep(kGdiReadingPauseMs);
        long perType[32] = {};
        if (!CountGdiEntries(process, perType)) return -1;
        long used = 0;
        for (long count : perType) used += count;
        if (fewest < 0 || used < fewest) fewest = used;
    }
    return fewest;
}

}  // namespace

bool CountObjects(HWND window, ObjectCounts& counts) {
    HANDLE process = OpenOwner(window, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ);
    if (process == nullptr) return false;
    counts.gdiInUse = static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS));
    counts.user = static_cast<long>(GetGuiResources(process, GR_USEROBJECTS));
    counts.userIsFreeSlots = false;
    // A process with a window always has GDI objects: 0 means the call is not implemented.
    if (counts.gdiInUse == 0) {
        counts.gdiInUse = CountUsedGdiEntries(process);
        counts.user = CountCreatableMenus();
        counts.userIsFreeSlots = true;
    }
    CloseHandle(process);
    return counts.gdiInUse >= 0;
}

bool CountGdiTypes(HWND window, long (&perType)[32]) {
    HANDLE process = OpenOwner(window, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ);
    if (process == nullptr) return false;
    bool counted = CountGdiEntries(process, perType);
    CloseHandle(process);
    return counted;
}
