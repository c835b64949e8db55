// The test program's global allocation, which counts and can be told to fail once: an
// allocation of exactly gFaultSize bytes throws std::bad_alloc after gAllocationsUntilFault
// more of that size have been made. gFaultSize 0 (the default) never fails. gAllocations and
// gReleases count every allocation and release made.
#pragma once

#include <atomic>
#include <cstddef>

namespace corvanel::reducetest {

extern std::atomic<std::size_t> gFaultSize;
extern std::atomic<int> gAllocationsUntilFault;
extern std::atomic<std::size_t> gAllocations;
extern std::atomic<std::size_t> gReleases;

} // namespace corvanel::reducetest
