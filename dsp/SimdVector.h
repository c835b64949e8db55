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
    // Two vectors' worth of 16-bit samples, and of 32-bit lanes.
    typedef std::int16_t int16x2 __attribute__((vector_size(2 * W * sizeof(std::int16_t))));
    typedef std::int32_t int32x2 __attribute__((vector_size(2 * W * sizeof(std::int32_t))));
};
template <> struct VectorOf<1> { typedef double type; };

// 2W 16-bit samples at from as two vectors of doubles: with Split the even and the odd ones
// (the left and right channels of W pairs), otherwise the first W and the next W. The
// samples go by way of 32-bit lanes (converted directly, they go lane by lane). W is 2 or 4.
template <int W, bool Split>
CORVANEL_SIMD_INLINE void Widen16(const std::int16_t* from, typename VectorOf<W>::type& a,
                                  typename VectorOf<W>::type& b) {
    using V = VectorOf<W>;
    typename V::int16x2 samples;
    std::memcpy(&samples, from, sizeof samples);
    const auto wide = __builtin_convertvector(samples, typename V::int32x2);
    typename V::int32 first, second;
    if constexpr (W == 4 && Split) {
        first = __builtin_shufflevector(wide, wide, 0, 2, 4, 6);
        second = __builtin_shufflevector(wide, wide, 1, 3, 5, 7);
    } else if constexpr (W == 4) {
        first = __builtin_shufflevector(wide, wide, 0, 1, 2, 3);
        second = __builtin_shufflevector(wide, wide, 4, 5, 6, 7);
    } else if constexpr (Split) {
        static_assert(W == 2);
        first = __builtin_shufflevector(wide, wide, 0, 2);
        second = __builtin_shufflevector(wide, wide, 1, 3);
    } else {
        static_assert(W == 2);
        first = __builtin_shufflevector(wide, wide, 0, 1);
        second = __builtin_shufflevector(wide, wide, 2, 3);
    }
    a = __builtin_convertvector(first, typename V::type);
    b = __builtin_convertvector(second, typename V::type);
}

// The reverse, for doubles that hold integers in 16-bit range.
template <int W, bool Split>
CORVANEL_SIMD_INLINE void Narrow16(const typename VectorOf<W>::type& a,
                                   const typename VectorOf<W>::type& b, std::int16_t* to) {
    using V = VectorOf<W>;
    const auto first = __builtin_convertvector(a, typename V::int32);
    const auto second = __builtin_convertvector(b, typename V::int32);
    typename V::int32x2 wide;
    if constexpr (W == 4 && Split)
        wide = __builtin_shufflevector(first, second, 0, 4, 1, 5, 2, 6, 3, 7);
    else if constexpr (W == 4)
        wide = __builtin_shufflevector(first, second, 0, 1, 2, 3, 4, 5, 6, 7);
    else if constexpr (Split)
        wide = __builtin_shufflevector(first, second, 0, 2, 1, 3);
    else
        wide = __builtin_shufflevector(first, second, 0, 1, 2, 3);
    const auto samples = __builtin_convertvector(wide, typename V::int16x2);
    std::memcpy(to, &samples, sizeof samples);
}

} // namespace corvanel::simd
