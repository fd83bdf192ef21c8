#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace hvtest {
bool countingAllocations = false;
long allocationsCounted = 0;
}  // namespace hvtest

// Every unaligned form is replaced, so malloc and free are the matching functions here:
// a form left out (Mesa's compiler uses the nothrow one) would come from the sanitizer's
// allocator and reach our delete.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
void* countedAllocation(std::size_t size) noexcept {
    if (hvtest::countingAllocations) ++hvtest::allocationsCounted;
    return std::malloc(size == 0 ? 1 : size);
}
}  // namespace
void* operator new(std::size_t size) {
    if (void* p = countedAllocation(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = countedAllocation(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return countedAllocation(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return countedAllocation(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
#pragma GCC diagnostic pop
