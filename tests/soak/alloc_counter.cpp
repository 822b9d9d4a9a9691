// The allocation counter. A plain build replaces the malloc family (forwarding to glibc's own
// __libc_* entry points) and the global operator new/delete; under AddressSanitizer, which owns
// malloc itself, the sanitizer's allocation hook counts instead.
#include "tests/soak/alloc_counter.h"

#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define MASCOT_SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MASCOT_SOAK_ASAN 1
#endif
#endif

namespace {
std::uint64_t g_allocationCount = 0;
}  // namespace

std::uint64_t AllocationCount() { return g_allocationCount; }

bool AllocationCounterWorks() {
    std::uint64_t before = g_allocationCount;
    void* block = std::malloc(24);
    int* value = new int(7);
    // Through volatile pointers, so the compiler cannot drop the pair of allocations.
    void* volatile keepBlock = block;
    int* volatile keepValue = value;
    std::free(keepBlock);
    delete keepValue;
    return g_allocationCount >= before + 2;
}

#ifdef MASCOT_SOAK_ASAN

// Declared here: GCC's sanitizer headers lack allocator_interface.h, the runtime has the call.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*,
                                                                            std::size_t),
                                                         void (*freeHook)(const volatile void*));

namespace {
void CountAllocation(const volatile void*, std::size_t) { ++g_allocationCount; }
void IgnoreRelease(const volatile void*) {}
const int g_hooksInstalled =
    __sanitizer_install_malloc_and_free_hooks(CountAllocation, IgnoreRelease);
}  // namespace

#elif defined(__GLIBC__)

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);

void* malloc(std::size_t size) {
    ++g_allocationCount;
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    ++g_allocationCount;
    return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) {
    ++g_allocationCount;
    return __libc_realloc(block, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
    ++g_allocationCount;
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    ++g_allocationCount;
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    ++g_allocationCount;
    void* block = __libc_memalign(alignment, size);
    if (block == nullptr) return 12;  // ENOMEM
    *result = block;
    return 0;
}
void free(void* block) { __libc_free(block); }
}  // extern "C"

// The global operator new and delete, through the counting malloc above.
void* operator new(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

#endif
