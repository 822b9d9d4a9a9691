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

struct GdiTableEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;  // 0 marks a free entry
    std::uint8_t flags;
    std::uint64_t userPointer;
};
static_assert(sizeof(GdiTableEntry) == 24, "the 64-bit table entry");

long CountUsedGdiEntries(HANDLE process) {
    std::uintptr_t peb = ReadPebAddress(process);
    std::uintptr_t table = 0;
    if (peb == 0 || !ReadRemote(process, peb + kPebGdiHandleTable, &table, sizeof table) ||
        table == 0) {
        return -1;
    }
    std::vector<GdiTableEntry> entries(kGdiTableEntries);
    if (!ReadRemote(process, table, entries.data(), entries.size() * sizeof(GdiTableEntry))) {
        return -1;
    }
    long used = 0;
    for (const GdiTableEntry& entry : entries) {
        if (entry.type != 0) ++used;
    }
    return used;
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
