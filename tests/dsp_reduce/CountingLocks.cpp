#include "tests/dsp_reduce/CountingLocks.h"

#include <pthread.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define CORVANEL_COUNT_LOCKS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define CORVANEL_COUNT_LOCKS 0
#endif
#endif
#if !defined(CORVANEL_COUNT_LOCKS) && defined(__GLIBC__) && defined(__x86_64__)
#define CORVANEL_COUNT_LOCKS 1
#endif
#if !defined(CORVANEL_COUNT_LOCKS)
#define CORVANEL_COUNT_LOCKS 0
#endif

namespace corvanel::reducetest {
namespace {

thread_local bool tCounting = false;
thread_local std::size_t tLocks = 0;

} // namespace

bool LockCountingAvailable() {
    return CORVANEL_COUNT_LOCKS != 0;
}

void StartCountingLocks() {
    tLocks = 0;
    tCounting = true;
}

std::size_t StopCountingLocks() {
    tCounting = false;
    return tLocks;
}

} // namespace corvanel::reducetest

#if CORVANEL_COUNT_LOCKS
// glibc's own entry point under its second, versioned name, which this definition does not
// replace.
extern "C" int GlibcMutexLock(pthread_mutex_t* mutex);
__asm__(".symver GlibcMutexLock, __pthread_mutex_lock@GLIBC_2.2.5");

extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex) {
    if (corvanel::reducetest::tCounting)
        ++corvanel::reducetest::tLocks;
    return GlibcMutexLock(mutex);
}
#endif
