// A replacement of the global allocation functions that fails one chosen allocation, so a test
// can make every allocation of a call fail in turn. It replaces operator new and delete for the
// whole process, the emulated runtime's shared library included.
#pragma once

#include <cstddef>

namespace zytest {

// Makes the allocation with index n (0 = the next one) fail: operator new throws
// std::bad_alloc, the nothrow forms return null. Only that one allocation fails, or with
// everyFollowing every allocation after it too, as when memory has run out for good.
void failAllocation(std::size_t n, bool everyFollowing = false);

// Stops failing; true when the chosen allocation was reached and failed.
bool stopFailingAllocations();

}  // namespace zytest
