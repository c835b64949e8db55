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

// A stage's twiddle rows of Q values each (six for radix 4, two for radix 2) lie this far
// apart: a power-of-two distance would put them all, with the data's quarters, in the same
// cache sets.
constexpr long TwiddlePitch(long Q) {
    return Q >= 64 ? Q + 8 : Q;
}

// The radix-4 butterflies on four points (vectors of W lanes), in place, before the
// forward stage's twiddles or after the inverse stage's: forward, y0 = a0 + a1 + a2 + a3 and
// the differences for slots 1, 2, 3; inverse, its transpose.
template <class T> CORVANEL_SIMD_INLINE void Forward4(T (&r)[4], T (&i)[4]) {
    const T t0r = r[0] + r[2], t0i = i[0] + i[2];
    const T t1r = r[0] - r[2], t1i = i[0] - i[2];
    const T t2r = r[1] + r[3], t2i = i[1] + i[3];
    const T t3r = i[1] - i[3], t3i = r[3] - r[1]; // -i·(a1 - a3)
    r[0] = t0r + t2r;
    i[0] = t0i + t2i;
    r[1] = t0r - t2r;
    i[1] = t0i - t2i;
    r[2] = t1r + t3r;
    i[2] = t1i + t3i;
    r[3] = t1r - t3r;
    i[3] = t1i - t3i;
}

template <class T> CORVANEL_SIMD_INLINE void Inverse4(T (&r)[4], T (&i)[4]) {
    const T s01r = r[0] + r[1], s01i = i[0] + i[1];
    const T d01r = r[0] - r[1], d01i = i[0] - i[1];
    const T s23r = r[2] + r[3], s23i = i[2] + i[3];
    const T e23r = i[3] - i[2], e23i = r[2] - r[3]; // i·(b2 - b3)
    r[0] = s01r + s23r;
    i[0] = s01i + s23i;
    r[1] = d01r + e23r;
    i[1] = d01i + e23i;
    r[2] = s01r - s23r;
    i[2] = s01i - s23i;
    r[3] = d01r - e23r;
    i[3] = d01i - e23i;
}

// x times (c + i·s), or times its conjugate.
template <bool Conjugate, class T>
CORVANEL_SIMD_INLINE void Rotate(T& xr, T& xi, const T& c, const T& sn) {
    const T r = xr, i = xi;
    if constexpr (Conjugate) {
        xr = r * c + i * sn;
        xi = i * c - r * sn;
    } else {
        xr = r * c - i * sn;
        xi = r * sn + i * c;
    }
}

// Slots 1, 2, 3 times the twiddles w2, w1, w3 (w holds c1, s1, c2, s2, c3, s3), or their
// conjugates for the inverse.
template <bool Conjugate, class T>
CORVANEL_SIMD_INLINE void Twiddle4(T (&r)[4], T (&i)[4], const T (&w)[6]) {
    Rotate<Conjugate>(r[1], i[1], w[2], w[3]);
    Rotate<Conjugate>(r[2], i[2], w[0], w[1]);
    Rotate<Conjugate>(r[3], i[3], w[4], w[5]);
}

// Vectors at p, p + stride, ... written out index by index: with every index a constant the
// arrays stay in registers.
template <class T> CORVANEL_SIMD_INLINE void Load4(T (&v)[4], const double* p, long stride) {
    std::memcpy(&v[0], p, sizeof(T));
    std::memcpy(&v[1], p + stride, sizeof(T));
    std::memcpy(&v[2], p + 2 * stride, sizeof(T));
    std::memcpy(&v[3], p + 3 * stride, sizeof(T));
}
template <class T> CORVANEL_SIMD_INLINE void Store4(const T (&v)[4], double* p, long stride) {
    std::memcpy(p, &v[0], sizeof(T));
    std::memcpy(p + stride, &v[1], sizeof(T));
    std::memcpy(p + 2 * stride, &v[2], sizeof(T));
    std::memcpy(p + 3 * stride, &v[3], sizeof(T));
}
template <class T> CORVANEL_SIMD_INLINE void Load6(T (&v)[6], const double* p, long stride) {
    std::memcpy(&v[0], p, sizeof(T));
    std::memcpy(&v[1], p + stride, sizeof(T));
    std::memcpy(&v[2], p + 2 * stride, sizeof(T));
    std::memcpy(&v[3], p + 3 * stride, sizeof(T));
    std::memcpy(&v[4], p + 4 * stride, sizeof(T));
    std::memcpy(&v[5], p + 5 * stride, sizeof(T));
}

// The stage kernels. re/im point at one block; Q (or H) points per quarter (half).
// A radix-4 stage's block: four quarters of Q points, twiddle rows of Q each.
template <int W, bool Inverse>
CORVANEL_SIMD_INLINE void Radix4(double* __restrict re, double* __restrict im, long Q,
                                 const double* __restrict tw, long pitch) {
    using T = typename simd::VectorOf<W>::type;
    for (long j = 0; j < Q; j += W) {
        T r[4], i[4], w[6];
        Load4(r, re + j, Q);
        Load4(i, im + j, Q);
        Load6(w, tw + j, pitch);
        if constexpr (Inverse) {
            Twiddle4<true>(r, i, w);
            Inverse4(r, i);
        } else {
            Forward4(r, i);
            Twiddle4<false>(r, i, w);
        }
        Store4(r, re + j, Q);
        Store4(i, im + j, Q);
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
        std::memcpy(&wi, tw + TwiddlePitch(H) + j, sizeof(T));
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
        std::memcpy(&wi, tw + TwiddlePitch(H) + j, sizeof(T));
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
        T vr[4], vi[4], ar[4], ai[4];
        Load4(vr, re + at, W);
        Load4(vi, im + at, W);
        Gather<W>(vr, ar);
        Gather<W>(vi, ai);
        if constexpr (Inverse)
            Inverse4(ar, ai);
        else
            Forward4(ar, ai);
        Scatter<W>(ar, vr);
        Scatter<W>(ai, vi);
        Store4(vr, re + at, W);
        Store4(vi, im + at, W);
    }
}

// The two smallest stages (16-point blocks, then 4-point ones) at W = 4 without storing in
// between: a 16-point block's quarters are one vector each, and after its stage those four
// vectors are the four 4-point blocks that the next stage transposes.
template <bool Inverse>
CORVANEL_SIMD_INLINE void Last16(double* __restrict re, double* __restrict im, long length,
                                 const double* __restrict tw) {
    using T = typename simd::VectorOf<4>::type;
    T w[6];
    Load6(w, tw, 4);
    for (long at = 0; at < length; at += 16) {
        T r[4], i[4], ar[4], ai[4];
        Load4(r, re + at, 4);
        Load4(i, im + at, 4);
        if constexpr (!Inverse) {
            Forward4(r, i);
            Twiddle4<false>(r, i, w);
        }
        Gather<4>(r, ar);
        Gather<4>(i, ai);
        if constexpr (Inverse)
            Inverse4(ar, ai);
        else
            Forward4(ar, ai);
        Scatter<4>(ar, r);
        Scatter<4>(ai, i);
        if constexpr (Inverse) {
            Twiddle4<true>(r, i, w);
            Inverse4(r, i);
        }
        Store4(r, re + at, 4);
        Store4(i, im + at, 4);
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
            Radix4<W, Inverse>(re + block, im + block, part, tw, TwiddlePitch(part));
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

// True when stage t and the last one are the 16- and 4-point stages Last16 does at once.
inline bool LastTwoAt(const Plan& p, long t) {
    return t + 2 == p.count && p.stages[t].span == 16 && p.stages[t].radix == 4;
}

template <int W> CORVANEL_SIMD_INLINE void ForwardAll(const Plan& p, double* re, double* im) {
    const long chunk = std::min(p.n, kChunk);
    long s = 0;
    for (; s < p.count && p.stages[s].span > chunk; ++s)
        RunStage<W, false>(re, im, p.n, p.stages[s], p.twiddles + p.stages[s].twiddles);
    for (long from = 0; from < p.n; from += chunk)
        for (long t = s; t < p.count; ++t) {
            const double* tw = p.twiddles + p.stages[t].twiddles;
            if constexpr (W == 4) {
                if (LastTwoAt(p, t)) {
                    Last16<false>(re + from, im + from, chunk, tw);
                    break;
                }
            }
            RunStage<W, false>(re + from, im + from, chunk, p.stages[t], tw);
        }
}

template <int W> CORVANEL_SIMD_INLINE void InverseAll(const Plan& p, double* re, double* im) {
    const long chunk = std::min(p.n, kChunk);
    long s = p.count;
    while (s > 0 && p.stages[s - 1].span <= chunk)
        --s;
    for (long from = 0; from < p.n; from += chunk)
        for (long t = p.count - 1; t >= s; --t) {
            if constexpr (W == 4) {
                if (t - 1 >= s && LastTwoAt(p, t - 1)) {
                    Last16<true>(re + from, im + from, chunk,
                                 p.twiddles + p.stages[t - 1].twiddles);
                    --t;
                    continue;
                }
            }
            RunStage<W, true>(re + from, im + from, chunk, p.stages[t],
                              p.twiddles + p.stages[t].twiddles);
        }
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
        const long pitch = TwiddlePitch(h);
        FTwiddles.resize(FTwiddles.size() + 2 * static_cast<std::size_t>(pitch));
        double* tw = FTwiddles.data() + FStages.back().twiddles;
        for (int j = 0; j < h; ++j) {
            const double a = -kTwoPi * j / span;
            tw[j] = std::cos(a);
            tw[pitch + j] = std::sin(a);
        }
        span /= 2;
    }
    for (; span >= 4; span /= 4) {
        FStages.push_back({span, 4, FTwiddles.size()});
        const int q = span / 4;
        const long pitch = TwiddlePitch(q);
        FTwiddles.resize(FTwiddles.size() + 6 * static_cast<std::size_t>(pitch));
        double* tw = FTwiddles.data() + FStages.back().twiddles;
        for (int j = 0; j < q; ++j)
            for (int m = 1; m <= 3; ++m) {
                const double a = -kTwoPi * (m * j) / span;
                tw[(2 * m - 2) * pitch + j] = std::cos(a);
                tw[(2 * m - 1) * pitch + j] = std::sin(a);
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
