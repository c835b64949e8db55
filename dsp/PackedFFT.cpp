// Radix-4 stages (one radix-2 stage first when log2 N is odd), decimation in frequency
// forward and its transpose, decimation in time, inverse. A radix-4 stage is two radix-2
// stages fused, so the slots are the plain bit reversal either way. Stages whose blocks fit
// in a chunk run chunk by chunk while the chunk stays in the first-level cache.
//
// The loops are written once over a vector of W doubles (GCC/Clang vector extensions) and
// compiled for each instruction set; a stage narrower than W falls back to a narrower W.
// No vector ever crosses a function boundary, so the baseline ABI is untouched.

#include "dsp/PackedFFT.h"

#include "dsp/CorvanelError.h"
#include "dsp/SimdVector.h"
#include "dsp/WaveFFT.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace corvanel {
namespace {

constexpr long kChunk = 1024;

// The stage kernels. re/im point at one block; Q (or H) points per quarter (half).
template <int W>
CORVANEL_SIMD_INLINE void Radix4Forward(double* __restrict re, double* __restrict im, long Q,
                                        const double* __restrict tw) {
    using T = typename simd::VectorOf<W>::type;
    const double* c1 = tw;
    const double* s1 = tw + Q;
    const double* c2 = tw + 2 * Q;
    const double* s2 = tw + 3 * Q;
    const double* c3 = tw + 4 * Q;
    const double* s3 = tw + 5 * Q;
    for (long j = 0; j < Q; j += W) {
        T a0r, a0i, a1r, a1i, a2r, a2i, a3r, a3i;
        std::memcpy(&a0r, re + j, sizeof(T));
        std::memcpy(&a0i, im + j, sizeof(T));
        std::memcpy(&a1r, re + j + Q, sizeof(T));
        std::memcpy(&a1i, im + j + Q, sizeof(T));
        std::memcpy(&a2r, re + j + 2 * Q, sizeof(T));
        std::memcpy(&a2i, im + j + 2 * Q, sizeof(T));
        std::memcpy(&a3r, re + j + 3 * Q, sizeof(T));
        std::memcpy(&a3i, im + j + 3 * Q, sizeof(T));
        T w1r, w1i, w2r, w2i, w3r, w3i;
        std::memcpy(&w1r, c1 + j, sizeof(T));
        std::memcpy(&w1i, s1 + j, sizeof(T));
        std::memcpy(&w2r, c2 + j, sizeof(T));
        std::memcpy(&w2i, s2 + j, sizeof(T));
        std::memcpy(&w3r, c3 + j, sizeof(T));
        std::memcpy(&w3i, s3 + j, sizeof(T));
        const T t0r = a0r + a2r, t0i = a0i + a2i;
        const T t1r = a0r - a2r, t1i = a0i - a2i;
        const T t2r = a1r + a3r, t2i = a1i + a3i;
        const T t3r = a1i - a3i, t3i = a3r - a1r; // -i·(a1 - a3)
        const T y0r = t0r + t2r, y0i = t0i + t2i;
        const T ur = t0r - t2r, ui = t0i - t2i;
        const T vr = t1r + t3r, vi = t1i + t3i;
        const T xr = t1r - t3r, xi = t1i - t3i;
        const T y1r = ur * w2r - ui * w2i, y1i = ur * w2i + ui * w2r;
        const T y2r = vr * w1r - vi * w1i, y2i = vr * w1i + vi * w1r;
        const T y3r = xr * w3r - xi * w3i, y3i = xr * w3i + xi * w3r;
        std::memcpy(re + j, &y0r, sizeof(T));
        std::memcpy(im + j, &y0i, sizeof(T));
        std::memcpy(re + j + Q, &y1r, sizeof(T));
        std::memcpy(im + j + Q, &y1i, sizeof(T));
        std::memcpy(re + j + 2 * Q, &y2r, sizeof(T));
        std::memcpy(im + j + 2 * Q, &y2i, sizeof(T));
        std::memcpy(re + j + 3 * Q, &y3r, sizeof(T));
        std::memcpy(im + j + 3 * Q, &y3i, sizeof(T));
    }
}

template <int W>
CORVANEL_SIMD_INLINE void Radix4Inverse(double* __restrict re, double* __restrict im, long Q,
                                        const double* __restrict tw) {
    using T = typename simd::VectorOf<W>::type;
    const double* c1 = tw;
    const double* s1 = tw + Q;
    const double* c2 = tw + 2 * Q;
    const double* s2 = tw + 3 * Q;
    const double* c3 = tw + 4 * Q;
    const double* s3 = tw + 5 * Q;
    for (long j = 0; j < Q; j += W) {
        T b0r, b0i, y1r, y1i, y2r, y2i, y3r, y3i;
        std::memcpy(&b0r, re + j, sizeof(T));
        std::memcpy(&b0i, im + j, sizeof(T));
        std::memcpy(&y1r, re + j + Q, sizeof(T));
        std::memcpy(&y1i, im + j + Q, sizeof(T));
        std::memcpy(&y2r, re + j + 2 * Q, sizeof(T));
        std::memcpy(&y2i, im + j + 2 * Q, sizeof(T));
        std::memcpy(&y3r, re + j + 3 * Q, sizeof(T));
        std::memcpy(&y3i, im + j + 3 * Q, sizeof(T));
        T w1r, w1i, w2r, w2i, w3r, w3i;
        std::memcpy(&w1r, c1 + j, sizeof(T));
        std::memcpy(&w1i, s1 + j, sizeof(T));
        std::memcpy(&w2r, c2 + j, sizeof(T));
        std::memcpy(&w2i, s2 + j, sizeof(T));
        std::memcpy(&w3r, c3 + j, sizeof(T));
        std::memcpy(&w3i, s3 + j, sizeof(T));
        // Times the conjugate twiddles.
        const T b1r = y1r * w2r + y1i * w2i, b1i = y1i * w2r - y1r * w2i;
        const T b2r = y2r * w1r + y2i * w1i, b2i = y2i * w1r - y2r * w1i;
        const T b3r = y3r * w3r + y3i * w3i, b3i = y3i * w3r - y3r * w3i;
        const T s01r = b0r + b1r, s01i = b0i + b1i;
        const T d01r = b0r - b1r, d01i = b0i - b1i;
        const T s23r = b2r + b3r, s23i = b2i + b3i;
        const T e23r = b3i - b2i, e23i = b2r - b3r; // i·(b2 - b3)
        const T x0r = s01r + s23r, x0i = s01i + s23i;
        const T x1r = d01r + e23r, x1i = d01i + e23i;
        const T x2r = s01r - s23r, x2i = s01i - s23i;
        const T x3r = d01r - e23r, x3i = d01i - e23i;
        std::memcpy(re + j, &x0r, sizeof(T));
        std::memcpy(im + j, &x0i, sizeof(T));
        std::memcpy(re + j + Q, &x1r, sizeof(T));
        std::memcpy(im + j + Q, &x1i, sizeof(T));
        std::memcpy(re + j + 2 * Q, &x2r, sizeof(T));
        std::memcpy(im + j + 2 * Q, &x2i, sizeof(T));
        std::memcpy(re + j + 3 * Q, &x3r, sizeof(T));
        std::memcpy(im + j + 3 * Q, &x3i, sizeof(T));
    }
}

template <int W>
CORVANEL_SIMD_INLINE void Radix2Forward(double* __restrict re, double* __restrict im, long H,
                                        const double* __restrict tw) {
    using T = typename simd::VectorOf<W>::type;
    for (long j = 0; j < H; j += W) {
        T ar, ai, br, bi, wr, wi;
        std::memcpy(&ar, re + j, sizeof(T));
        std::memcpy(&ai, im + j, sizeof(T));
        std::memcpy(&br, re + j + H, sizeof(T));
        std::memcpy(&bi, im + j + H, sizeof(T));
        std::memcpy(&wr, tw + j, sizeof(T));
        std::memcpy(&wi, tw + H + j, sizeof(T));
        const T sr = ar + br, si = ai + bi;
        const T dr = ar - br, di = ai - bi;
        const T yr = dr * wr - di * wi, yi = dr * wi + di * wr;
        std::memcpy(re + j, &sr, sizeof(T));
        std::memcpy(im + j, &si, sizeof(T));
        std::memcpy(re + j + H, &yr, sizeof(T));
        std::memcpy(im + j + H, &yi, sizeof(T));
    }
}

template <int W>
CORVANEL_SIMD_INLINE void Radix2Inverse(double* __restrict re, double* __restrict im, long H,
                                        const double* __restrict tw) {
    using T = typename simd::VectorOf<W>::type;
    for (long j = 0; j < H; j += W) {
        T ar, ai, yr, yi, wr, wi;
        std::memcpy(&ar, re + j, sizeof(T));
        std::memcpy(&ai, im + j, sizeof(T));
        std::memcpy(&yr, re + j + H, sizeof(T));
        std::memcpy(&yi, im + j + H, sizeof(T));
        std::memcpy(&wr, tw + j, sizeof(T));
        std::memcpy(&wi, tw + H + j, sizeof(T));
        const T br = yr * wr + yi * wi, bi = yi * wr - yr * wi;
        const T sr = ar + br, si = ai + bi;
        const T dr = ar - br, di = ai - bi;
        std::memcpy(re + j, &sr, sizeof(T));
        std::memcpy(im + j, &si, sizeof(T));
        std::memcpy(re + j + H, &dr, sizeof(T));
        std::memcpy(im + j + H, &di, sizeof(T));
    }
}

// The radix-4 stage of 4-point blocks (no twiddles), W blocks at a time (W = 2 or 4): the
// blocks' points are gathered into vectors by a transpose and scattered back by its inverse.
template <int W>
CORVANEL_SIMD_INLINE void Gather(typename simd::VectorOf<W>::type (&v)[4],
                                 typename simd::VectorOf<W>::type (&a)[4]) {
    using M = typename simd::VectorOf<W>::mask;
    if constexpr (W == 2) {
        a[0] = __builtin_shuffle(v[0], v[2], M{0, 2});
        a[1] = __builtin_shuffle(v[0], v[2], M{1, 3});
        a[2] = __builtin_shuffle(v[1], v[3], M{0, 2});
        a[3] = __builtin_shuffle(v[1], v[3], M{1, 3});
    } else {
        const auto t0 = __builtin_shuffle(v[0], v[1], M{0, 4, 2, 6});
        const auto t1 = __builtin_shuffle(v[0], v[1], M{1, 5, 3, 7});
        const auto t2 = __builtin_shuffle(v[2], v[3], M{0, 4, 2, 6});
        const auto t3 = __builtin_shuffle(v[2], v[3], M{1, 5, 3, 7});
        a[0] = __builtin_shuffle(t0, t2, M{0, 1, 4, 5});
        a[1] = __builtin_shuffle(t1, t3, M{0, 1, 4, 5});
        a[2] = __builtin_shuffle(t0, t2, M{2, 3, 6, 7});
        a[3] = __builtin_shuffle(t1, t3, M{2, 3, 6, 7});
    }
}

template <int W>
CORVANEL_SIMD_INLINE void Scatter(typename simd::VectorOf<W>::type (&a)[4],
                                  typename simd::VectorOf<W>::type (&v)[4]) {
    using M = typename simd::VectorOf<W>::mask;
    if constexpr (W == 2) {
        v[0] = __builtin_shuffle(a[0], a[1], M{0, 2});
        v[1] = __builtin_shuffle(a[2], a[3], M{0, 2});
        v[2] = __builtin_shuffle(a[0], a[1], M{1, 3});
        v[3] = __builtin_shuffle(a[2], a[3], M{1, 3});
    } else {
        Gather<W>(a, v); // a 4 x 4 transpose undoes itself
    }
}

template <int W, bool Inverse>
CORVANEL_SIMD_INLINE void Radix4Span4(double* __restrict re, double* __restrict im, long length) {
    using T = typename simd::VectorOf<W>::type;
    for (long at = 0; at < length; at += 4 * W) {
        // Vector by vector, so that the arrays live in registers.
        T vr[4], vi[4], ar[4], ai[4];
        for (int v = 0; v < 4; ++v) {
            std::memcpy(&vr[v], re + at + v * W, sizeof(T));
            std::memcpy(&vi[v], im + at + v * W, sizeof(T));
        }
        Gather<W>(vr, ar);
        Gather<W>(vi, ai);
        if constexpr (Inverse) {
            const T s01r = ar[0] + ar[1], s01i = ai[0] + ai[1];
            const T d01r = ar[0] - ar[1], d01i = ai[0] - ai[1];
            const T s23r = ar[2] + ar[3], s23i = ai[2] + ai[3];
            const T e23r = ai[3] - ai[2], e23i = ar[2] - ar[3]; // i·(b2 - b3)
            ar[0] = s01r + s23r;
            ai[0] = s01i + s23i;
            ar[1] = d01r + e23r;
            ai[1] = d01i + e23i;
            ar[2] = s01r - s23r;
            ai[2] = s01i - s23i;
            ar[3] = d01r - e23r;
            ai[3] = d01i - e23i;
        } else {
            const T t0r = ar[0] + ar[2], t0i = ai[0] + ai[2];
            const T t1r = ar[0] - ar[2], t1i = ai[0] - ai[2];
            const T t2r = ar[1] + ar[3], t2i = ai[1] + ai[3];
            const T t3r = ai[1] - ai[3], t3i = ar[3] - ar[1]; // -i·(a1 - a3)
            ar[0] = t0r + t2r;
            ai[0] = t0i + t2i;
            ar[1] = t0r - t2r;
            ai[1] = t0i - t2i;
            ar[2] = t1r + t3r;
            ai[2] = t1i + t3i;
            ar[3] = t1r - t3r;
            ai[3] = t1i - t3i;
        }
        Scatter<W>(ar, vr);
        Scatter<W>(ai, vi);
        for (int v = 0; v < 4; ++v) {
            std::memcpy(re + at + v * W, &vr[v], sizeof(T));
            std::memcpy(im + at + v * W, &vi[v], sizeof(T));
        }
    }
}

// One stage over the blocks in [0, length), at the widest W the stage's quarter allows.
template <int W, bool Inverse>
CORVANEL_SIMD_INLINE void RunStage(double* re, double* im, long length, const PackedFFT::Stage& st,
                                   const double* tw) {
    const long part = st.span / st.radix;
    if constexpr (W >= 2) {
        if (st.span == 4 && st.radix == 4 && length >= 4 * W) {
            Radix4Span4<(W >= 4 ? 4 : 2), Inverse>(re, im, length);
            return;
        }
    }
    if (W > 1 && part < W) {
        if constexpr (W > 1)
            RunStage<W / 2, Inverse>(re, im, length, st, tw);
        return;
    }
    for (long block = 0; block < length; block += st.span) {
        if (st.radix == 4) {
            if constexpr (Inverse)
                Radix4Inverse<W>(re + block, im + block, part, tw);
            else
                Radix4Forward<W>(re + block, im + block, part, tw);
        } else {
            if constexpr (Inverse)
                Radix2Inverse<W>(re + block, im + block, part, tw);
            else
                Radix2Forward<W>(re + block, im + block, part, tw);
        }
    }
}

struct Plan {
    long n;
    const PackedFFT::Stage* stages;
    long count;
    const double* twiddles;
};

template <int W> CORVANEL_SIMD_INLINE void ForwardAll(const Plan& p, double* re, double* im) {
    const long chunk = std::min(p.n, kChunk);
    long s = 0;
    for (; s < p.count && p.stages[s].span > chunk; ++s)
        RunStage<W, false>(re, im, p.n, p.stages[s], p.twiddles + p.stages[s].twiddles);
    for (long from = 0; from < p.n; from += chunk)
        for (long t = s; t < p.count; ++t)
            RunStage<W, false>(re + from, im + from, chunk, p.stages[t],
                               p.twiddles + p.stages[t].twiddles);
}

template <int W> CORVANEL_SIMD_INLINE void InverseAll(const Plan& p, double* re, double* im) {
    const long chunk = std::min(p.n, kChunk);
    long s = p.count;
    while (s > 0 && p.stages[s - 1].span <= chunk)
        --s;
    for (long from = 0; from < p.n; from += chunk)
        for (long t = p.count - 1; t >= s; --t)
            RunStage<W, true>(re + from, im + from, chunk, p.stages[t],
                              p.twiddles + p.stages[t].twiddles);
    for (long t = s - 1; t >= 0; --t)
        RunStage<W, true>(re, im, p.n, p.stages[t], p.twiddles + p.stages[t].twiddles);
}

void ForwardBaseline(const Plan& p, double* re, double* im) {
    ForwardAll<2>(p, re, im);
}
void InverseBaseline(const Plan& p, double* re, double* im) {
    InverseAll<2>(p, re, im);
}

#if defined(__x86_64__)
#define CORVANEL_HAS_X86_PATHS 1
__attribute__((target("avx2"))) void ForwardAvx2(const Plan& p, double* re, double* im) {
    ForwardAll<4>(p, re, im);
}
__attribute__((target("avx2"))) void InverseAvx2(const Plan& p, double* re, double* im) {
    InverseAll<4>(p, re, im);
}
__attribute__((target("avx512f,avx512vl,avx512bw"))) void ForwardAvx512(const Plan& p, double* re,
                                                                        double* im) {
    ForwardAll<4>(p, re, im);
}
__attribute__((target("avx512f,avx512vl,avx512bw"))) void InverseAvx512(const Plan& p, double* re,
                                                                        double* im) {
    InverseAll<4>(p, re, im);
}
#endif

} // namespace

bool SimdPathAvailable(SimdPath path) {
    switch (path) {
    case SimdPath::Baseline:
        return true;
#if defined(CORVANEL_HAS_X86_PATHS)
    case SimdPath::Avx2:
        return __builtin_cpu_supports("avx2");
    case SimdPath::Avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
               __builtin_cpu_supports("avx512bw");
#endif
    default:
        return false;
    }
}

SimdPath BestSimdPath() {
    if (SimdPathAvailable(SimdPath::Avx512))
        return SimdPath::Avx512;
    return SimdPathAvailable(SimdPath::Avx2) ? SimdPath::Avx2 : SimdPath::Baseline;
}

PackedFFT::PackedFFT(int n, SimdPath path) : FSize(n), FPath(path) {
    if (n < 1 || (n & (n - 1)) != 0)
        throw CorvanelError(kNotPowerOfTwoMessage);
    if (!SimdPathAvailable(path))
        FPath = SimdPath::Baseline;
    int bits = 0;
    while ((1 << bits) < n)
        ++bits;

    // Largest span first: one radix-2 stage when the bit count is odd, then radix 4.
    int span = n;
    if (bits % 2 == 1) {
        FStages.push_back({span, 2, FTwiddles.size()});
        const int h = span / 2;
        FTwiddles.resize(FTwiddles.size() + 2 * static_cast<std::size_t>(h));
        double* tw = FTwiddles.data() + FStages.back().twiddles;
        for (int j = 0; j < h; ++j) {
            const double a = -kTwoPi * j / span;
            tw[j] = std::cos(a);
            tw[h + j] = std::sin(a);
        }
        span /= 2;
    }
    for (; span >= 4; span /= 4) {
        FStages.push_back({span, 4, FTwiddles.size()});
        const int q = span / 4;
        FTwiddles.resize(FTwiddles.size() + 6 * static_cast<std::size_t>(q));
        double* tw = FTwiddles.data() + FStages.back().twiddles;
        for (int j = 0; j < q; ++j)
            for (int m = 1; m <= 3; ++m) {
                const double a = -kTwoPi * (m * j) / span;
                tw[(2 * m - 2) * q + j] = std::cos(a);
                tw[(2 * m - 1) * q + j] = std::sin(a);
            }
    }

    FSlotBin.resize(static_cast<std::size_t>(n));
    for (int s = 0; s < n; ++s) {
        std::uint32_t r = 0;
        for (int b = 0; b < bits; ++b)
            r |= ((static_cast<std::uint32_t>(s) >> b) & 1u) << (bits - 1 - b);
        FSlotBin[static_cast<std::size_t>(s)] = r;
    }
}

void PackedFFT::Forward(double* re, double* im) const {
    const Plan p{FSize, FStages.data(), static_cast<long>(FStages.size()), FTwiddles.data()};
#if defined(CORVANEL_HAS_X86_PATHS)
    if (FPath == SimdPath::Avx2)
        return ForwardAvx2(p, re, im);
    if (FPath == SimdPath::Avx512)
        return ForwardAvx512(p, re, im);
#endif
    ForwardBaseline(p, re, im);
}

void PackedFFT::Inverse(double* re, double* im) const {
    const Plan p{FSize, FStages.data(), static_cast<long>(FStages.size()), FTwiddles.data()};
#if defined(CORVANEL_HAS_X86_PATHS)
    if (FPath == SimdPath::Avx2)
        return InverseAvx2(p, re, im);
    if (FPath == SimdPath::Avx512)
        return InverseAvx512(p, re, im);
#endif
    InverseBaseline(p, re, im);
}

} // namespace corvanel
