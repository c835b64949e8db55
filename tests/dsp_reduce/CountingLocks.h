// The test program's pthread_mutex_lock, which counts the locks taken on the calling thread
// while counting is on there (std::mutex and the like lock through it). Not in a sanitizer's
// build: its runtime defines the function itself.
#pragma once

#include <cstddef>

namespace corvanel::reducetest {

// False where the counting is not compiled in.
bool LockCountingAvailable();
// Starts counting on this thread from zero; StopCountingLocks returns the count.
void StartCountingLocks();
std::size_t StopCountingLocks();

} // namespace corvanel::reducetest
