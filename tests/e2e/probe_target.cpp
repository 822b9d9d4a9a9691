// Finding the mascot's one window and reading the memory of the process that owns it.
#include "probe_target.h"

#include <winternl.h>

namespace {

constexpr const char* kMascotClass = "mascot test program";
// Offsets in the 64-bit process environment block and in the image's headers.
constexpr std::uintptr_t kPebImageBase = 0x10;
constexpr std::uintptr_t kNewHeaderOffset = 0x3C;     // where the PE header starts
constexpr std::uintptr_t kSizeOfImage = 4 + 20 + 56;  // after "PE\0\0" and the file header

BOOL CALLBACK CountMascots(HWND window, LPARAM found) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, kMascotClass) != 0) return TRUE;
    auto* mascot = reinterpret_cast<HWND*>(found);
    // A second window of the class makes the answer ambiguous: report none.
    *mascot = *mascot == nullptr ? window : HWND_BROADCAST;
    return TRUE;
}

}  // namespace

HWND FindMascot() {
    HWND found = nullptr;
    EnumWindows(CountMascots, reinterpret_cast<LPARAM>(&found));
    return found == HWND_BROADCAST ? nullptr : found;
}

HANDLE OpenOwner(HWND window, DWORD access) {
    DWORD processId = 0;
    if (window == nullptr || GetWindowThreadProcessId(window, &processId) == 0) return nullptr;
    return OpenProcess(access, FALSE, processId);
}

std::uintptr_t ReadPebAddress(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG size = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &size) !=
        0) {
        return 0;
    }
    return reinterpret_cast<std::uintptr_t>(basic.PebBaseAddress);
}

bool ReadRemote(HANDLE process, std::uintptr_t address, void* buffer, std::size_t size) {
    SIZE_T read = 0;
    return ReadProcessMemory(process, reinterpret_cast<const void*>(address), buffer, size,
                             &read) &&
           read == size;
}

namespace {

// Where the image of `process` lies: its base and its size.
bool ReadImageExtent(HANDLE process, std::uintptr_t& base, std::uint32_t& size) {
    std::uintptr_t peb = ReadPebAddress(process);
    std::int32_t header = 0;
    return peb != 0 && ReadRemote(process, peb + kPebImageBase, &base, sizeof base) &&
           ReadRemote(process, base + kNewHeaderOffset, &header, sizeof header) &&
           ReadRemote(process, base + header + kSizeOfImage, &size, sizeof size);
}

}  // namespace

bool ReadImageInt(HWND window, std::uintptr_t rva, std::int32_t& value) {
    HANDLE process = OpenOwner(window, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ);
    if (process == nullptr) return false;
    std::uintptr_t base = 0;
    std::uint32_t size = 0;
    std::uint64_t word = 0;
    bool read =
        ReadImageExtent(process, base, size) && ReadRemote(process, base + rva, &word, sizeof word);
    // A reference to the int (a global bound to a field elsewhere) holds an address inside the
    // image; a plain int of a small value never looks like one.
    if (read && word >= base && word < base + size) {
        read = ReadRemote(process, static_cast<std::uintptr_t>(word), &value, sizeof value);
    } else {
        value = static_cast<std::int32_t>(word & 0xFFFFFFFFu);
    }
    CloseHandle(process);
    return read;
}
