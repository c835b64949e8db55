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

// 16-bit lanes to doubles by way of 32-bit lanes (converted directly, they go lane by lane).
template <int W>
CORVANEL_SIMD_INLINE void FromInt16(const typename VectorOf<W>::int16& v,
                                    typename VectorOf<W>::type& out) {
    out = __builtin_convertvector(__builtin_convertvector(v, typename VectorOf<W>::int32),
                                  typename VectorOf<W>::type);
}

// Doubles holding integers in 16-bit range as 32-bit lanes, seen as twice as many 16-bit
// lanes: the even ones are the values (the odd ones their sign extension).
template <int W>
CORVANEL_SIMD_INLINE void ToInt16Halves(const typename VectorOf<W>::type& x,
                                        typename VectorOf<W>::int16x2& out) {
    const auto wide = __builtin_convertvector(x, typename VectorOf<W>::int32);
    std::memcpy(&out, &wide, sizeof out);
}

} // namespace corvanel::simd
