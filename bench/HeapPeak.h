#pragma once
// Bytes taken from the heap by operator new, now and at the most since a reset: how
// much memory a command needs beyond what it started with.
#include <cstddef>

namespace bench {

std::size_t heapInUse();
// The peak is brought back to what is in use now.
void resetHeapPeak();
std::size_t heapPeak();

} // namespace bench
