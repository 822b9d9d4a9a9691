// Swapping a function this executable imports from a DLL for a test's own, for as long as a
// CImportPatch lives: how the tests watch calls whose effect the system does not show (under Wine
// timeBeginPeriod changes nothing) or make a call fail that never fails by itself.
#pragma once

#include <windows.h>

class CImportPatch {
public:
    // Points this executable's import slot of `dll`!`function` at `replacement`.
    CImportPatch(const char* dll, const char* function, const void* replacement);
    ~CImportPatch();
    CImportPatch(const CImportPatch&) = delete;
    CImportPatch& operator=(const CImportPatch&) = delete;

    // False when the executable does not import the function: nothing was changed.
    bool Applied() const { return m_slot != nullptr; }

private:
    void** m_slot = nullptr;
    void* m_original = nullptr;
};
