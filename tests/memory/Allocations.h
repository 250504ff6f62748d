// The allocations of this test executable, counted and made to fail on request: the
// global operator new is replaced here, so the tests can measure the peak memory of a
// piece of work and inject an allocation failure at any point.
#pragma once

#include <cstddef>

namespace kestrix::testing {

// Bytes allocated through operator new and not yet freed.
std::size_t liveBytes();
// The highest liveBytes() since the last resetPeak().
std::size_t peakBytes();
void resetPeak();
// How many allocations operator new made so far.
std::size_t allocationCount();

// From now on, the `nth` allocation (counted from 1) of at least `minSize` bytes throws
// std::bad_alloc; 0 turns the failure off. failureFired() tells whether the latest
// failure asked for happened.
void failAllocation(std::size_t nth, std::size_t minSize = 0);
bool failureFired();

}  // namespace kestrix::testing
