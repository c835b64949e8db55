#include "tests/dsp_reduce/FailingAllocation.h"

#include <cstdlib>
#include <new>

namespace corvanel::reducetest {

std::atomic<std::size_t> gFaultSize{0};
std::atomic<int> gAllocationsUntilFault{-1};
std::atomic<std::size_t> gAllocations{0};
std::atomic<std::size_t> gReleases{0};

} // namespace corvanel::reducetest

void* operator new(std::size_t size) {
    using namespace corvanel::reducetest;
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (size != 0 && size == gFaultSize.load(std::memory_order_relaxed) &&
        gAllocationsUntilFault.fetch_sub(1) == 0)
        throw std::bad_alloc();
    if (void* p = std::malloc(size != 0 ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    if (p != nullptr)
        corvanel::reducetest::gReleases.fetch_add(1, std::memory_order_relaxed);
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

// The rest of the plain family, so that no allocation pairs with another family's release.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    corvanel::reducetest::gAllocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size != 0 ? size : 1);
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    operator delete(p);
}

// The array forms too: a sanitizer's runtime defines its own, which would bypass the above.
void* operator new[](std::size_t size) {
    return operator new(size);
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}

void operator delete[](void* p) noexcept {
    operator delete(p);
}

void operator delete[](void* p, std::size_t) noexcept {
    operator delete(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept {
    operator delete(p);
}
