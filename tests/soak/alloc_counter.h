// Counts every heap allocation the process makes (malloc family and operator new), so that a test
// can require that a stretch of code allocates nothing.
#pragma once

#include <cstdint>

// Allocations since the start of the process.
std::uint64_t AllocationCount();

// True when allocations are really being counted (checked by allocating once).
bool AllocationCounterWorks();
