// Allocations that fail on purpose: every operator new of the test program, and every growth of
// a GrowingArray once armed, counts down, and the one that reaches zero raises bad_alloc as an
// exhausted memory would.  Failing each allocation of a change in turn shows what it leaves.
#pragma once

namespace bukvotok::check {

// The allocation after `allocations` more fails (0: the next one); -1 disarms the count.
void FailAllocationAfter(long allocations);
// Whether the allocation being made now fails; counts it.
bool NextAllocationFails();

}  // namespace bukvotok::check
