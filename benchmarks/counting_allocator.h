#pragma once
// The heap counters of counting_allocator.cpp, which replaces the global operator new and
// delete of the program it is linked into.

#include <cstddef>

namespace bench {

std::size_t LiveHeapBytes();
std::size_t PeakHeapBytes();
// Starts a new peak at the bytes live now.
void ResetPeakHeapBytes();

}  // namespace bench
