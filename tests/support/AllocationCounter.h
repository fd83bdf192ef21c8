// Counts the test program's heap allocations: while `countingAllocations` is true, every
// form of the global operator new adds one to `allocationsCounted`. The source file
// replaces every unaligned form of new and delete (malloc and free underneath), so it
// must be linked into the test itself, once.
#pragma once

namespace hvtest {
extern bool countingAllocations;
extern long allocationsCounted;
}  // namespace hvtest
