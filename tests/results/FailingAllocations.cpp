#include "FailingAllocations.h"

#include <cstdlib>
#include <new>

#include "GrowingArray.h"

namespace bukvotok::check {

namespace {
long allocations_until_failure = -1;
}  // namespace

void FailAllocationAfter(long allocations) {
    allocations_until_failure = allocations;
    growing_array_fails_for_tests = allocations < 0 ? nullptr : &NextAllocationFails;
}

bool NextAllocationFails() {
    if (allocations_until_failure < 0) return false;
    return allocations_until_failure-- == 0;
}

}  // namespace bukvotok::check

// GCC takes free() in a replaced operator delete for a mismatch; here it is the match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    if (bukvotok::check::NextAllocationFails()) throw std::bad_alloc();
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
