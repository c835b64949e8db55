// Internal to the packed path's sources: vectors of W doubles (GCC/Clang vector extensions)
// for loops written once and compiled per instruction set. A vector never crosses a function
// boundary (the helpers are always inlined), so the baseline ABI is untouched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#define CORVANEL_SIMD_INLINE inline __attribute__((always_inline))

namespace corvanel::simd {

template <int W> struct VectorOf {
    typedef double type __attribute__((vector_size(W * sizeof(double))));
    typedef long long mask __attribute__((vector_size(W * sizeof(double))));
    typedef std::int32_t int32 __attribute__((vector_size(W * sizeof(std::int32_t))));
    typedef std::int16_t int16 __attribute__((vector_size(W * sizeof(std::int16_t))));
    // Two channels' worth of 16-bit samples and the matching shuffle masks.
    typedef std::int16_t int16x2 __attribute__((vector_size(2 * W * sizeof(std::int16_t))));
};
template <> struct VectorOf<1> { typedef double type; };

} // namespace corvanel::simd
