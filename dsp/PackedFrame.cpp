#include "dsp/PackedFrame.h"

#include "dsp/SimdVector.h"

#include <algorithm>
#include <cstring>

namespace corvanel {
namespace {

constexpr double kRoundShift = 6755399441055744.0; // 1.5·2^52: adding it rounds to an integer
constexpr double kRoundLimit = 1e15;               // well inside the range where that holds

template <int W>
CORVANEL_SIMD_INLINE void Unpack(const std::int16_t* frame, long pairs, double* re, double* im) {
    using T = typename simd::VectorOf<W>::type;
    long i = 0;
    for (; i + W <= pairs; i += W) {
        T l, r;
        simd::Widen16<W, true>(frame + 2 * i, l, r);
        l = l / 32768.0;
        r = r / 32768.0;
        std::memcpy(re + i, &l, sizeof l);
        std::memcpy(im + i, &r, sizeof r);
    }
    for (; i < pairs; ++i) {
        re[i] = frame[2 * i] / 32768.0;
        im[i] = frame[2 * i + 1] / 32768.0;
    }
}

// One channel's rounded, clamped samples as doubles holding integers (in place; vectors
// go by reference only).
template <class T>
CORVANEL_SIMD_INLINE void Samples(T& x, const T& own, double scale, bool subtract) {
    x = x * scale;
    x = x < -kRoundLimit ? -kRoundLimit : x;
    x = x > kRoundLimit ? kRoundLimit : x;
    x = (x + kRoundShift) - kRoundShift;
    if (subtract)
        x = own - x;
    x = x < -32768.0 ? -32768.0 : x;
    x = x > 32767.0 ? 32767.0 : x;
}

template <int W>
CORVANEL_SIMD_INLINE void Pack(const double* re, const double* im, long pairs, double scale,
                               bool subtract, std::int16_t* frame) {
    using T = typename simd::VectorOf<W>::type;
    long i = 0;
    for (; i + W <= pairs; i += W) {
        T l, r, ownL{}, ownR{};
        std::memcpy(&l, re + i, sizeof l);
        std::memcpy(&r, im + i, sizeof r);
        if (subtract)
            simd::Widen16<W, true>(frame + 2 * i, ownL, ownR);
        Samples(l, ownL, scale, subtract);
        Samples(r, ownR, scale, subtract);
        simd::Narrow16<W, true>(l, r, frame + 2 * i);
    }
    for (; i < pairs; ++i) {
        double l = re[i], r = im[i];
        Samples(l, static_cast<double>(frame[2 * i]), scale, subtract);
        Samples(r, static_cast<double>(frame[2 * i + 1]), scale, subtract);
        frame[2 * i] = static_cast<std::int16_t>(l);
        frame[2 * i + 1] = static_cast<std::int16_t>(r);
    }
}

template <int W>
CORVANEL_SIMD_INLINE void CrossFade(const std::int16_t* prev, const double* fadeOut,
                                    const double* fadeIn, long count, std::int16_t* frame) {
    using T = typename simd::VectorOf<W>::type;
    long i = 0;
    for (; i + 2 * W <= count; i += 2 * W) {
        T from[2], to[2];
        simd::Widen16<W, false>(prev + i, from[0], from[1]);
        simd::Widen16<W, false>(frame + i, to[0], to[1]);
        for (int half = 0; half < 2; ++half) {
            T a, b;
            std::memcpy(&a, fadeOut + i + half * W, sizeof a);
            std::memcpy(&b, fadeIn + i + half * W, sizeof b);
            T x = from[half] * a + to[half] * b;
            x = x < -kRoundLimit ? -kRoundLimit : x;
            x = x > kRoundLimit ? kRoundLimit : x;
            to[half] = (x + kRoundShift) - kRoundShift;
        }
        simd::Narrow16<W, false>(to[0], to[1], frame + i);
    }
    for (; i < count; ++i) {
        double x = prev[i] * fadeOut[i] + frame[i] * fadeIn[i];
        x = std::clamp(x, -kRoundLimit, kRoundLimit);
        frame[i] = static_cast<std::int16_t>((x + kRoundShift) - kRoundShift);
    }
}

void UnpackBaseline(const std::int16_t* frame, long pairs, double* re, double* im) {
    Unpack<2>(frame, pairs, re, im);
}
void PackBaseline(const double* re, const double* im, long pairs, double scale, bool subtract,
                  std::int16_t* frame) {
    Pack<2>(re, im, pairs, scale, subtract, frame);
}
void CrossFadeBaseline(const std::int16_t* prev, const double* fadeOut, const double* fadeIn,
                       long count, std::int16_t* frame) {
    CrossFade<2>(prev, fadeOut, fadeIn, count, frame);
}

#if defined(__x86_64__)
#define CORVANEL_HAS_X86_PATHS 1
__attribute__((target("avx2"))) void UnpackAvx2(const std::int16_t* frame, long pairs, double* re,
                                                double* im) {
    Unpack<4>(frame, pairs, re, im);
}
__attribute__((target("avx2"))) void PackAvx2(const double* re, const double* im, long pairs,
                                              double scale, bool subtract, std::int16_t* frame) {
    Pack<4>(re, im, pairs, scale, subtract, frame);
}
__attribute__((target("avx2"))) void CrossFadeAvx2(const std::int16_t* prev, const double* fadeOut,
                                                   const double* fadeIn, long count,
                                                   std::int16_t* frame) {
    CrossFade<4>(prev, fadeOut, fadeIn, count, frame);
}
__attribute__((target("avx512f,avx512vl,avx512bw"))) void
UnpackAvx512(const std::int16_t* frame, long pairs, double* re, double* im) {
    Unpack<4>(frame, pairs, re, im);
}
__attribute__((target("avx512f,avx512vl,avx512bw"))) void PackAvx512(const double* re,
                                                                     const double* im, long pairs,
                                                                     double scale, bool subtract,
                                                                     std::int16_t* frame) {
    Pack<4>(re, im, pairs, scale, subtract, frame);
}
__attribute__((target("avx512f,avx512vl,avx512bw"))) void
CrossFadeAvx512(const std::int16_t* prev, const double* fadeOut, const double* fadeIn, long count,
                std::int16_t* frame) {
    CrossFade<4>(prev, fadeOut, fadeIn, count, frame);
}
#endif

} // namespace

void UnpackFrame(const std::int16_t* frame, int pairs, double* re, double* im, SimdPath path) {
#if defined(CORVANEL_HAS_X86_PATHS)
    if (path == SimdPath::Avx2)
        return UnpackAvx2(frame, pairs, re, im);
    if (path == SimdPath::Avx512)
        return UnpackAvx512(frame, pairs, re, im);
#endif
    (void)path;
    UnpackBaseline(frame, pairs, re, im);
}

void PackFrame(const double* re, const double* im, int pairs, double scale, bool subtract,
               std::int16_t* frame, SimdPath path) {
#if defined(CORVANEL_HAS_X86_PATHS)
    if (path == SimdPath::Avx2)
        return PackAvx2(re, im, pairs, scale, subtract, frame);
    if (path == SimdPath::Avx512)
        return PackAvx512(re, im, pairs, scale, subtract, frame);
#endif
    (void)path;
    PackBaseline(re, im, pairs, scale, subtract, frame);
}

void CrossFadeFrame(const std::int16_t* prev, const double* fadeOut, const double* fadeIn,
                    int count, std::int16_t* frame, SimdPath path) {
#if defined(CORVANEL_HAS_X86_PATHS)
    if (path == SimdPath::Avx2)
        return CrossFadeAvx2(prev, fadeOut, fadeIn, count, frame);
    if (path == SimdPath::Avx512)
        return CrossFadeAvx512(prev, fadeOut, fadeIn, count, frame);
#endif
    (void)path;
    CrossFadeBaseline(prev, fadeOut, fadeIn, count, frame);
}

} // namespace corvanel
