// Slot s (even, a bin k below N/2) and its partner t hold X[k] and X[N-k], so
// L[k] = (X[k] + conj X[N-k]) / 2 and R[k] = (X[k] - conj X[N-k]) / 2i; new values go back as
// X[k] = L' + iR' and X[N-k] = conj L' + i conj R'. Slot 0 (DC) is its own partner; slot 1
// holds half the sampling rate, which the synthesis leaves out.
//
// Within the slot block [B, 2B) the pairs are (B + q, 2B - 1 - q) for q < B/2, the even slot
// being the bin's own. The vector pass takes slot B + q as the bin's for every q: for odd q
// that yields conj L and conj R, which changes nothing but the sign of the phase test's
// imaginary part (and writes back exactly what the bin's own slot order would), so each lane
// gives the scalar code's bits.

#include "dsp/BinDecision.h"

#include "dsp/SimdVector.h"
#include "dsp/WaveFFT.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace corvanel {
namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

// The fast verdicts' margins. Their arithmetic differs from the exact form's by a few units
// in the last place (the phase difference by up to 1e-6 degrees, where arccos(cos x) is
// coarse), far inside these margins; WrapPhase's sign may flip at ±180°, hence the guard
// there too. Powers this small go the exact way, where the 1e-12 amplitude rule lives.
constexpr double kRatioGuard = 1e-9;
constexpr double kPhaseGuardDegrees = 1e-3;
// The guard as a fraction of |z| (the sine of so small an angle is the angle).
constexpr double kPhaseGuardSine = kPhaseGuardDegrees / kDegreesPerRadian;
constexpr double kTinyPower = 1e-20;

// +1 when the angle of z is certainly below the phase limit, -1 when certainly not, 0 when
// too close to tell.
int PhaseBelow(double zIm, double zRe, const BinDecisionParams& p) {
    // z = L·conj(R): its angle φ is the phase difference folded into (-180°, 180°]. φ < P is
    // decided by half-planes instead of an arc tangent: for P >= 0 it holds below the real
    // axis, and above it when z lies clockwise of P's direction; for P < 0 it needs both.
    if (!p.phaseFast)
        return 0;
    const double size = std::fabs(zRe) + std::fabs(zIm);
    const double margin = kPhaseGuardSine * size;
    const double clockwise = zIm * p.phaseCos - zRe * p.phaseSin; // < 0: z clockwise of P
    const double along = zRe * p.phaseCos + zIm * p.phaseSin;
    if ((std::fabs(clockwise) <= margin && along > 0) || (std::fabs(zIm) <= margin && zRe < 0))
        return 0; // within the guard of P or of ±180°
    const bool below = p.pParam >= 0 ? (zIm < 0 || clockwise < 0) : (zIm < 0 && clockwise < 0);
    return below ? 1 : -1;
}

} // namespace

bool DecideBin(const BinDecisionParams& p, double f, TComplex& l, TComplex& r) {
    if (!std::isfinite(l.Re) || !std::isfinite(l.Im) || !std::isfinite(r.Re) ||
        !std::isfinite(r.Im))
        return false;
    if (!(p.lo < f && f < p.hi))
        return false;

    // Fast verdict from powers and one angle, taken only where it is certain to agree with
    // the amplitude, logarithm and phase arithmetic below; elsewhere that decides.
    enum class Verdict { Unsure, Judge, Keep } verdict = Verdict::Unsure;
    const double powerL = l.Re * l.Re + l.Im * l.Im;
    const double powerR = r.Re * r.Re + r.Im * r.Im;
    if (powerL > kTinyPower && powerR > kTinyPower && std::isfinite(powerL) &&
        std::isfinite(powerR)) {
        const double q = powerL / powerR;
        if (q < p.qLo * (1 - kRatioGuard) || q > p.qHi * (1 + kRatioGuard)) {
            verdict = Verdict::Keep;
        } else if (q > p.qLo * (1 + kRatioGuard) && q < p.qHi * (1 - kRatioGuard)) {
            const int phase = PhaseBelow(l.Im * r.Re - l.Re * r.Im, l.Re * r.Re + l.Im * r.Im, p);
            if (phase != 0)
                verdict = phase > 0 ? Verdict::Judge : Verdict::Keep;
        }
    }
    if (verdict == Verdict::Keep)
        return false;

    // A judged bin's new amplitudes need the amplitudes only to rounding; the exact decision
    // uses the modulus as analysed.
    double al, ar;
    if (verdict == Verdict::Judge) {
        al = std::sqrt(powerL);
        ar = std::sqrt(powerR);
    } else {
        al = std::hypot(l.Re, l.Im);
        ar = std::hypot(r.Re, r.Im);
        double ratio = std::fabs(ar) <= 1e-12 ? al / (ar + 1e100) : al / ar;
        if (!std::isfinite(ratio))
            ratio = 0.0; // the arithmetic fault of the ratio counts as 0
        const double d = ratio > 0 ? 20 * std::log10(ratio) : 0.0;
        if (!(std::fabs(-p.panPot - d) <= 12))
            return false;
        if (!(std::fabs(d) < std::fabs(p.aParam)))
            return false;
        const double delta =
            WrapPhase(std::atan2(l.Im, l.Re) - std::atan2(r.Im, r.Re)) * kDegreesPerRadian;
        if (!(delta < p.pParam))
            return false;
    }

    const double newL = std::max(p.wL * al - p.wR * ar, 0.0) / (p.wL + p.wR);
    const double newR = std::max(p.wR * ar - p.wL * al, 0.0) / (p.wL + p.wR);
    // A new amplitude at the analysed phase: A'·(cos φ, sin φ) with cos φ = Re/A.
    l = newL > 0 ? TComplex{newL * (l.Re / al), newL * (l.Im / al)} : TComplex{};
    r = newR > 0 ? TComplex{newR * (r.Re / ar), newR * (r.Im / ar)} : TComplex{};
    return true;
}

namespace {

// The pair (s, t), s the bin's own slot.
inline void DecidePair(const BinDecisionParams& p, double k, int n, double* re, double* im, long s,
                       long t) {
    // Bins that are exactly zero in both channels stay zero whatever is decided.
    if (re[s] == 0 && im[s] == 0 && re[t] == 0 && im[t] == 0)
        return;
    const double f = k * p.rate / n;
    TComplex l{(re[s] + re[t]) * 0.5, (im[s] - im[t]) * 0.5};
    TComplex r{(im[s] + im[t]) * 0.5, (re[t] - re[s]) * 0.5};
    if (!DecideBin(p, f, l, r))
        return;
    re[s] = l.Re - r.Im;
    im[s] = l.Im + r.Re;
    re[t] = l.Re + r.Im;
    im[t] = r.Re - l.Im;
}

// The pair at q of the block at `block`, whichever of its slots is the bin's own.
inline void DecidePairAt(const BinDecisionParams& p, double k, int n, double* re, double* im,
                         long block, long q) {
    const long a = block + q, b = 2 * block - 1 - q;
    if (q % 2 == 0)
        DecidePair(p, k, n, re, im, a, b);
    else
        DecidePair(p, k, n, re, im, b, a);
}

template <int W>
CORVANEL_SIMD_INLINE void DecideVector(const BinDecisionParams& p, const double* pairBin, int n,
                                       double* re, double* im) {
    using T = typename simd::VectorOf<W>::type;
    using M = typename simd::VectorOf<W>::mask;
    T laneSign; // +1 where the lane's slot is the bin's own (even q), -1 where the partner's
    for (int i = 0; i < W; ++i)
        laneSign[i] = i % 2 == 0 ? 1.0 : -1.0;
    const T zero = T{} + 0.0;
    const double lowRatioKeep = p.qLo * (1 - kRatioGuard),
                 highRatioKeep = p.qHi * (1 + kRatioGuard);
    const double lowRatioIn = p.qLo * (1 + kRatioGuard), highRatioIn = p.qHi * (1 - kRatioGuard);
    const double weightSum = p.wL + p.wR;
    const M phaseFast = p.phaseFast ? M{} - 1 : M{};
    const M positiveLimit = p.pParam >= 0 ? M{} - 1 : M{};
    const double binScale = 1.0 / n; // a power of two: the same bits as dividing by n

    for (long block = 2 * W; block < n; block *= 2) {
        const double* bins = pairBin + (block / 2 - 1);
        for (long q = 0; q < block / 2; q += W) {
            const long s = block + q;
            const long t = 2 * block - W - q; // lowest of the partners, which run downwards
            T ar, ai, br, bi, k;
            std::memcpy(&ar, re + s, sizeof(T));
            std::memcpy(&ai, im + s, sizeof(T));
            std::memcpy(&k, bins + q, sizeof(T));
            for (int i = 0; i < W; ++i) {
                br[i] = re[t + W - 1 - i];
                bi[i] = im[t + W - 1 - i];
            }
            const T lr = (ar + br) * 0.5, li = (ai - bi) * 0.5;
            const T rr = (ai + bi) * 0.5, ri = (br - ar) * 0.5;
            const T f = k * p.rate * binScale;
            const M inBand = (p.lo < f) & (f < p.hi);
            const T powerL = lr * lr + li * li;
            const T powerR = rr * rr + ri * ri;
            // Finite powers imply finite parts; non-finite ones go the exact way.
            const M usable = (powerL > kTinyPower) & (powerR > kTinyPower) & (powerL < HUGE_VAL) &
                             (powerR < HUGE_VAL);
            // The ratio's tests as products (no division): within the guards either way.
            const M levelOut = (powerL < lowRatioKeep * powerR) | (powerL > highRatioKeep * powerR);
            const M levelIn = (powerL > lowRatioIn * powerR) & (powerL < highRatioIn * powerR);
            const T zIm = (li * rr - lr * ri) * laneSign;
            const T zRe = lr * rr + li * ri;
            const T size = (zRe < 0 ? -zRe : zRe) + (zIm < 0 ? -zIm : zIm);
            const T margin = kPhaseGuardSine * size;
            const T clockwise = zIm * p.phaseCos - zRe * p.phaseSin;
            const T along = zRe * p.phaseCos + zIm * p.phaseSin;
            const M nearLimit = ((clockwise < 0 ? -clockwise : clockwise) <= margin) & (along > 0);
            const M nearHalfTurn = ((zIm < 0 ? -zIm : zIm) <= margin) & (zRe < 0);
            const M phaseSure = phaseFast & ~(nearLimit | nearHalfTurn);
            const M below = (positiveLimit & ((zIm < 0) | (clockwise < 0))) |
                            (~positiveLimit & ((zIm < 0) & (clockwise < 0)));
            const M silent = (ar == 0) & (ai == 0) & (br == 0) & (bi == 0);
            const M keep =
                ~inBand | silent | (usable & (levelOut | (levelIn & phaseSure & ~below)));
            const M judge = inBand & ~silent & usable & levelIn & phaseSure & below;
            const M unsure = ~(keep | judge);
            long long undecided = 0;
            for (int i = 0; i < W; ++i)
                undecided |= unsure[i];
            // Every vector goes through the judged bins' arithmetic, unjudged lanes writing
            // back what they hold: whether a vector has a judged lane is too random a branch
            // to predict.
            {
                T al, arr;
                for (int i = 0; i < W; ++i) {
                    al[i] = std::sqrt(powerL[i]);
                    arr[i] = std::sqrt(powerR[i]);
                }
                // New amplitude over old, one division per channel (the exact form's
                // newL·(Re/A) differs from this only in rounding).
                const T dl = p.wL * al - p.wR * arr;
                const T dr = p.wR * arr - p.wL * al;
                const T gainL = dl > 0 ? dl / (weightSum * al) : zero;
                const T gainR = dr > 0 ? dr / (weightSum * arr) : zero;
                const T nlr = lr * gainL, nli = li * gainL;
                const T nrr = rr * gainR, nri = ri * gainR;
                const T outAr = judge ? nlr - nri : ar, outAi = judge ? nli + nrr : ai;
                const T outBr = judge ? nlr + nri : br, outBi = judge ? nrr - nli : bi;
                std::memcpy(re + s, &outAr, sizeof(T));
                std::memcpy(im + s, &outAi, sizeof(T));
                for (int i = 0; i < W; ++i) {
                    re[t + W - 1 - i] = outBr[i];
                    im[t + W - 1 - i] = outBi[i];
                }
            }
            if (undecided != 0)
                for (int i = 0; i < W; ++i)
                    if (unsure[i])
                        DecidePairAt(p, k[i], n, re, im, block, q + i);
        }
    }
}

void DecideScalarPart(const BinDecisionParams& p, const double* pairBin, int n, double* re,
                      double* im, long endBlock) {
    DecidePair(p, 0.0, n, re, im, 0, 0);
    if (n > 1) {
        re[1] = 0.0;
        im[1] = 0.0;
    }
    for (long block = 2; block < std::min<long>(n, endBlock); block *= 2)
        for (long q = 0; q < block / 2; ++q)
            DecidePairAt(p, pairBin[block / 2 - 1 + q], n, re, im, block, q);
}

template <int W>
CORVANEL_SIMD_INLINE void DecideAll(const BinDecisionParams& p, const double* pairBin, int n,
                                    double* re, double* im) {
    DecideScalarPart(p, pairBin, n, re, im, 2 * W);
    DecideVector<W>(p, pairBin, n, re, im);
}

void DecideBaseline(const BinDecisionParams& p, const double* pairBin, int n, double* re,
                    double* im) {
    DecideAll<2>(p, pairBin, n, re, im);
}

#if defined(__x86_64__)
#define CORVANEL_HAS_X86_PATHS 1
__attribute__((target("avx2"))) void DecideAvx2(const BinDecisionParams& p, const double* pairBin,
                                                int n, double* re, double* im) {
    DecideAll<4>(p, pairBin, n, re, im);
}
__attribute__((target("avx512f,avx512vl,avx512bw"))) void
DecideAvx512(const BinDecisionParams& p, const double* pairBin, int n, double* re, double* im) {
    DecideAll<4>(p, pairBin, n, re, im);
}
#endif

} // namespace

BinDecisionParams::BinDecisionParams(double band1, double band2, double samplingRate, double pan,
                                     double a, double phaseLimit)
    : lo(std::min(band1, band2)), hi(std::max(band1, band2)), rate(samplingRate), panPot(pan),
      aParam(a), pParam(phaseLimit), wL(1.0), wR(1.0) {
    if (panPot > 0) {
        const double c = std::cos(panPot * kTwoPi / 20);
        wL = 1 + 2 * (c * c);
    } else if (panPot < 0) {
        const double c = std::cos(-panPot * kTwoPi / 20);
        wR = 1 + 2 * (c * c);
    }
    // Both level tests pass for D in [-pan - 12, -pan + 12] and (-|A|, |A|); as a power ratio
    // (L/R)^2 = 10^(D/10).
    const double dLo = std::max(-panPot - 12, -std::fabs(aParam));
    const double dHi = std::min(-panPot + 12, std::fabs(aParam));
    qLo = std::pow(10.0, dLo / 10);
    qHi = std::pow(10.0, dHi / 10);
    phaseFast = std::fabs(pParam) < 180 - kPhaseGuardDegrees;
    const double theta = pParam / kDegreesPerRadian;
    phaseCos = std::cos(theta);
    phaseSin = std::sin(theta);
}

PackedBinDecider::PackedBinDecider(const PackedFFT& fft) : FFFT(fft) {
    const int n = fft.Size();
    FPairBin.reserve(static_cast<std::size_t>(std::max(n / 2, 1)));
    for (long block = 2; block < n; block *= 2)
        for (long q = 0; q < block / 2; ++q)
            FPairBin.push_back(static_cast<double>(
                fft.SlotBin(static_cast<int>(q % 2 == 0 ? block + q : 2 * block - 1 - q))));
}

void PackedBinDecider::Decide(const BinDecisionParams& p, double* re, double* im) const {
    const int n = FFFT.Size();
#if defined(CORVANEL_HAS_X86_PATHS)
    if (FFFT.Path() == SimdPath::Avx2)
        return DecideAvx2(p, FPairBin.data(), n, re, im);
    if (FFFT.Path() == SimdPath::Avx512)
        return DecideAvx512(p, FPairBin.data(), n, re, im);
#endif
    DecideBaseline(p, FPairBin.data(), n, re, im);
}

} // namespace corvanel
