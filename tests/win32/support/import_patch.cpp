// CImportPatch: finds a slot of this executable's import address table and rewrites it.
#include "support/import_patch.h"

namespace {

BYTE* ModuleBase() { return reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr)); }

const IMAGE_IMPORT_DESCRIPTOR* FirstImport(BYTE* base) {
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return nullptr;
    return reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
}

// The slot of `function` among the imports of one DLL, or null.
void** FindSlot(BYTE* base, const IMAGE_IMPORT_DESCRIPTOR& dll, const char* function) {
    DWORD namesAt = dll.OriginalFirstThunk ? dll.OriginalFirstThunk : dll.FirstThunk;
    auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + namesAt);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll.FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
        auto* byName =
            reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) == 0) {
            return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void** FindImportSlot(const char* dll, const char* function) {
    BYTE* base = ModuleBase();
    for (auto* entry = FirstImport(base); entry && entry->Name != 0; ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
        if (void** slot = FindSlot(base, *entry, function)) return slot;
    }
    return nullptr;
}

void WriteSlot(void** slot, void* value) {
    DWORD previous = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, previous, &previous);
}

}  // namespace

CImportPatch::CImportPatch(const char* dll, const char* function, const void* replacement)
    : m_slot(FindImportSlot(dll, function)) {
    if (!m_slot) return;
    m_original = *m_slot;
    WriteSlot(m_slot, const_cast<void*>(replacement));
}

CImportPatch::~CImportPatch() {
    if (m_slot) WriteSlot(m_slot, m_original);
}
