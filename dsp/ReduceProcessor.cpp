#include "ReduceProcessor.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>

namespace corvanel {

static_assert(std::endian::native == std::endian::little,
              "frames are read as native 16-bit samples from little-endian PCM");

namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPi = 3.141592653589793;
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr std::int32_t kMaxFrameSize = 1 << 22;

// The fast verdicts' margins. Their arithmetic differs from the exact form's by a few units
// in the last place (the phase difference by up to 1e-6 degrees, where arccos(cos x) is
// coarse), far inside these margins; WrapPhase's sign may flip at ±180°, hence the guard
// there too. Powers this small go the exact way, where the 1e-12 amplitude rule lives.
constexpr double kRatioGuard = 1e-9;
constexpr double kPhaseGuardDegrees = 1e-3;
// The guard as a fraction of |z| (the sine of so small an angle is the angle).
constexpr double kPhaseGuardSine = kPhaseGuardDegrees / kDegreesPerRadian;
constexpr double kTinyPower = 1e-20;

std::int16_t Clamp16(long v) {
    return static_cast<std::int16_t>(std::clamp<long>(v, -32768, 32767));
}

} // namespace

// Per-call working storage, released however the call ends.
struct ReduceProcessor::Workspace {
    explicit Workspace(std::int32_t n)
        : left(static_cast<std::size_t>(n)), right(static_cast<std::size_t>(n)),
          spectrumL(static_cast<std::size_t>(n / 2)), spectrumR(static_cast<std::size_t>(n / 2)),
          frame(static_cast<std::size_t>(2 * n)), tail(static_cast<std::size_t>(2 * n)) {}

    std::vector<double> left, right;
    // Half spectra as analysed; judged bins get their new amplitude at the analysed phase.
    std::vector<TComplex> spectrumL, spectrumR;
    // Interleaved 16-bit samples: the frame buffer and the tail buffer (4·N bytes each).
    std::vector<std::int16_t> frame, tail;
};

ReduceProcessor::ReduceProcessor(ReduceParams& params) : FParams(params) {
    for (TWaveFFT* fft : {&FWaveFFT1, &FWaveFFT2}) {
        fft->SetCount(2);
        fft->SetSamplingRate(44100.0);
        fft->SetWindowType(wtRECTANGULAR);
        fft->SetRadix(0);
    }
    FWaveIFFT1.SetCount(2);
    FWaveIFFT2.SetCount(2);
}

bool ReduceProcessor::IsValidFrameSize(std::int32_t pairs) {
    return pairs >= 8 && pairs <= kMaxFrameSize &&
           std::has_single_bit(static_cast<std::uint32_t>(pairs));
}

void ReduceProcessor::ChangeFrameSize(std::int32_t pairs) {
    RequestEmptyQueues();
    FParams.VRFFTPoint.store(pairs, std::memory_order_release);
}

void ReduceProcessor::Process(std::uint32_t handle, void* buffer, std::uint32_t length) noexcept {
    auto* block = static_cast<std::uint8_t*>(buffer);
    try {
        Run(handle != 0 ? FPlaybackSink : FEncoderSink, handle == 0, block, length);
    } catch (...) {
        // Nothing may leave the audio library's thread; this block is lost to silence.
        if (block != nullptr)
            std::memset(block, 0, length);
    }
}

void ReduceProcessor::ProcessTo(const ReduceSink& sink, void* buffer, std::uint32_t length) {
    Run(sink, false, static_cast<std::uint8_t*>(buffer), length);
}

void ReduceProcessor::DspCallback(std::uint32_t handle, std::uint32_t, void* buffer,
                                  std::uint32_t length, void* user) noexcept {
    static_cast<ReduceProcessor*>(user)->Process(handle, buffer, length);
}

void ReduceProcessor::ApplyPendingEmpty() {
    const std::uint32_t pending = FPendingEmpty.exchange(0, std::memory_order_acq_rel);
    if (pending & kEmptyOverlap) {
        FHistoryQueue.Clear();
        FTailQueue.Clear();
    }
    if (pending & (kEmptyAll & ~kEmptyOverlap))
        FSoundQueue.Clear();
}

void ReduceProcessor::Run(const ReduceSink& sink, bool pauseAfterPassThrough, std::uint8_t* block,
                          std::uint32_t length) {
    if (block == nullptr)
        length = 0;
    ApplyPendingEmpty();
    const auto silence = [&] {
        if (length > 0)
            std::memset(block, 0, length);
    };

    if (!FParams.VREnable.load(std::memory_order_relaxed)) {
        if (FSoundQueue.Count() > 0)
            FSoundQueue.Clear();
        if (sink)
            sink(block, length);
        if (pauseAfterPassThrough && FPassThroughPause.count() > 0)
            std::this_thread::sleep_for(FPassThroughPause);
        silence();
        return;
    }

    const std::int32_t n = FParams.VRFFTPoint.load(std::memory_order_acquire);
    if (!IsValidFrameSize(n)) {
        FSoundQueue.Clear();
        silence();
        return;
    }
    if (n != FQueuedN) {
        // The overlap held belongs to another frame length: each frame reads exactly as much
        // as it appends, so a stale quarter or tail would never wash out.
        FHistoryQueue.Clear();
        FTailQueue.Clear();
        FQueuedN = n;
    }

    // The queue counts in signed 32 bits: a block of 2 GiB or more goes in in pieces.
    std::uint32_t queued = 0;
    do {
        const std::uint32_t piece = std::min<std::uint32_t>(length - queued, 1u << 30);
        FSoundQueue.Write(block + queued, static_cast<std::int32_t>(piece));
        queued += piece;
    } while (queued < length);

    const std::int64_t frameBytes = 4 * static_cast<std::int64_t>(n);
    if (FSoundQueue.TrueLength() >= frameBytes) {
        Workspace ws(n);
        PrepareFade(n);
        try {
            do {
                ProcessFrame(n, ws, sink);
            } while (FSoundQueue.TrueLength() > frameBytes);
        } catch (...) {
            if (FFrameOpen) {
                // A half-done frame would leave the overlap one step out of line; restart it
                // as after a resume.
                FHistoryQueue.Clear();
                FTailQueue.Clear();
                FFrameOpen = false;
            }
            throw;
        }
    }
    silence();
}

void ReduceProcessor::PrepareFade(std::int32_t n) {
    if (FFadeN == n)
        return;
    const std::int32_t m = n / 4;
    FFadeOut.assign(static_cast<std::size_t>(m), 0.0);
    FFadeIn.assign(static_cast<std::size_t>(m), 0.0);
    for (std::int32_t i = 0; i < m; ++i) {
        const double theta = static_cast<double>(i) * kHalfPi / static_cast<double>(m - 1);
        const double c = std::cos(theta);
        const double s = std::sin(theta);
        FFadeOut[static_cast<std::size_t>(i)] = c * c;
        FFadeIn[static_cast<std::size_t>(i)] = s * s;
    }
    FFadeN = n;
}

void ReduceProcessor::Weights(double panPot, double& wL, double& wR) {
    if (panPot != FWeightPan) {
        FWeightL = 1.0;
        FWeightR = 1.0;
        if (panPot > 0) {
            const double c = std::cos(panPot * kTwoPi / 20);
            FWeightL = 1 + 2 * (c * c);
        } else if (panPot < 0) {
            const double c = std::cos(-panPot * kTwoPi / 20);
            FWeightR = 1 + 2 * (c * c);
        }
        FWeightPan = panPot;
    }
    wL = FWeightL;
    wR = FWeightR;
}

void ReduceProcessor::ProcessFrame(std::int32_t n, Workspace& ws, const ReduceSink& sink) {
    const std::size_t pairs = static_cast<std::size_t>(n);
    std::int16_t* frame = ws.frame.data();
    std::int16_t* tail = ws.tail.data();

    // Assembly: a quarter of overlap, then three quarters of new input.
    std::fill(ws.frame.begin(), ws.frame.end(), 0);
    std::fill(ws.tail.begin(), ws.tail.end(), 0);
    FFrameOpen = true;
    FHistoryQueue.Read(frame, n);
    FSoundQueue.Read(frame + n / 2, 3 * n);
    FHistoryQueue.Write(frame + 3 * (n / 2), n);

    // Analysis.
    for (std::size_t i = 0; i < pairs; ++i) {
        ws.left[i] = frame[2 * i] / 32768.0;
        ws.right[i] = frame[2 * i + 1] / 32768.0;
    }
    FWaveFFT1.SetSourceByArray(std::span<const double>(ws.left));
    FWaveFFT1.Execute();
    FWaveFFT2.SetSourceByArray(std::span<const double>(ws.right));
    FWaveFFT2.Execute();
    FWaveFFT1.SetSamplingRate(static_cast<double>(SourceRate()));

    DecideBins(n, ws);

    // Synthesis.
    FWaveIFFT1.SetCount(n / 2);
    FWaveIFFT2.SetCount(n / 2);
    FWaveIFFT1.SetSourceByArray(ws.spectrumL);
    FWaveIFFT2.SetSourceByArray(ws.spectrumR);
    FWaveIFFT1.Execute();
    FWaveIFFT2.Execute();
    FWaveIFFT1.GetResultToArray(std::span<double>(ws.left));
    FWaveIFFT2.GetResultToArray(std::span<double>(ws.right));

    // Back to 16-bit; the inverse mode keeps what the reduction took away.
    for (std::size_t i = 0; i < pairs; ++i) {
        const long yl = std::lrint(ws.left[i] * 32768.0);
        const long yr = std::lrint(ws.right[i] * 32768.0);
        if (FParams.VRInverse.load(std::memory_order_relaxed)) {
            frame[2 * i] = Clamp16(frame[2 * i] - yl);
            frame[2 * i + 1] = Clamp16(frame[2 * i + 1] - yr);
        } else {
            frame[2 * i] = Clamp16(yl);
            frame[2 * i + 1] = Clamp16(yr);
        }
    }

    // Cross-fade from the held-back last quarter of the previous output frame.
    FTailQueue.Read(tail, 4 * n);
    const std::int16_t* prev = tail + 3 * (n / 2);
    const std::size_t m = pairs / 4;
    for (std::size_t i = 0; i < m; ++i) {
        const double a = FFadeOut[i];
        const double b = FFadeIn[i];
        frame[2 * i] = static_cast<std::int16_t>(std::lrint(prev[2 * i] * a + frame[2 * i] * b));
        frame[2 * i + 1] =
            static_cast<std::int16_t>(std::lrint(prev[2 * i + 1] * a + frame[2 * i + 1] * b));
    }
    FTailQueue.Write(frame, 4 * n);
    FFrameOpen = false;

    if (sink)
        sink(reinterpret_cast<const std::uint8_t*>(frame), static_cast<std::uint32_t>(3 * n));
}

void ReduceProcessor::LevelWindow(double panPot, double aParam, double& qLo, double& qHi) {
    if (panPot != FWindowPan || aParam != FWindowA || !FWindowValid) {
        // Both level tests pass for D in [-pan - 12, -pan + 12] and (-|A|, |A|); as a power
        // ratio (L/R)^2 = 10^(D/10).
        const double dLo = std::max(-panPot - 12, -std::fabs(aParam));
        const double dHi = std::min(-panPot + 12, std::fabs(aParam));
        FWindowLo = std::pow(10.0, dLo / 10);
        FWindowHi = std::pow(10.0, dHi / 10);
        FWindowPan = panPot;
        FWindowA = aParam;
        FWindowValid = true;
    }
    qLo = FWindowLo;
    qHi = FWindowHi;
}

int ReduceProcessor::PhaseBelow(double zIm, double zRe, double pParam) {
    // z = L·conj(R): its angle φ is the phase difference folded into (-180°, 180°]. φ < P is
    // decided by half-planes instead of an arc tangent: for P >= 0 it holds below the real
    // axis, and above it when z lies clockwise of P's direction; for P < 0 it needs both.
    if (!(std::fabs(pParam) < 180 - kPhaseGuardDegrees))
        return 0;
    if (pParam != FPhaseLimit) {
        const double theta = pParam / kDegreesPerRadian;
        FPhaseCos = std::cos(theta);
        FPhaseSin = std::sin(theta);
        FPhaseLimit = pParam;
    }
    const double size = std::fabs(zRe) + std::fabs(zIm);
    const double margin = kPhaseGuardSine * size;
    const double clockwise = zIm * FPhaseCos - zRe * FPhaseSin; // < 0: z clockwise of P
    const double along = zRe * FPhaseCos + zIm * FPhaseSin;
    if ((std::fabs(clockwise) <= margin && along > 0) || (std::fabs(zIm) <= margin && zRe < 0))
        return 0; // within the guard of P or of ±180°
    const bool below = pParam >= 0 ? (zIm < 0 || clockwise < 0) : (zIm < 0 && clockwise < 0);
    return below ? 1 : -1;
}

void ReduceProcessor::DecideBins(std::int32_t n, Workspace& ws) {
    FWaveFFT1.GetResultToArray(ws.spectrumL);
    FWaveFFT2.GetResultToArray(ws.spectrumR);

    const double band1 = FParams.VRBand1.load(std::memory_order_relaxed);
    const double band2 = FParams.VRBand2.load(std::memory_order_relaxed);
    const double lo = std::min(band1, band2);
    const double hi = std::max(band1, band2);

    for (std::int32_t k = 0; k < n / 2; ++k) {
        TComplex& l = ws.spectrumL[static_cast<std::size_t>(k)];
        TComplex& r = ws.spectrumR[static_cast<std::size_t>(k)];
        if (!std::isfinite(l.Re) || !std::isfinite(l.Im) || !std::isfinite(r.Re) ||
            !std::isfinite(r.Im))
            continue;
        const double f = FWaveFFT1.QueryFrequency(k);
        if (!(lo < f && f < hi))
            continue;

        const double panPot = FParams.VRPanPot.load(std::memory_order_relaxed);
        const double aParam = FParams.VRAParam.load(std::memory_order_relaxed);
        const double pParam = FParams.VRPParam.load(std::memory_order_relaxed);

        // Fast verdict from powers and one angle, taken only where it is certain to agree
        // with the amplitude, logarithm and phase arithmetic below; elsewhere that decides.
        enum class Verdict { Unsure, Judge, Keep } verdict = Verdict::Unsure;
        const double powerL = l.Re * l.Re + l.Im * l.Im;
        const double powerR = r.Re * r.Re + r.Im * r.Im;
        if (powerL > kTinyPower && powerR > kTinyPower && std::isfinite(powerL) &&
            std::isfinite(powerR)) {
            double qLo, qHi;
            LevelWindow(panPot, aParam, qLo, qHi);
            const double q = powerL / powerR;
            if (q < qLo * (1 - kRatioGuard) || q > qHi * (1 + kRatioGuard)) {
                verdict = Verdict::Keep;
            } else if (q > qLo * (1 + kRatioGuard) && q < qHi * (1 - kRatioGuard)) {
                const int phase =
                    PhaseBelow(l.Im * r.Re - l.Re * r.Im, l.Re * r.Re + l.Im * r.Im, pParam);
                if (phase != 0)
                    verdict = phase > 0 ? Verdict::Judge : Verdict::Keep;
            }
        }
        if (verdict == Verdict::Keep)
            continue;

        // A judged bin's new amplitudes need the amplitudes only to rounding; the exact
        // decision uses the modulus as analysed.
        double al, ar;
        if (verdict == Verdict::Judge) {
            al = std::sqrt(powerL);
            ar = std::sqrt(powerR);
        } else {
            al = std::hypot(l.Re, l.Im);
            ar = std::hypot(r.Re, r.Im);
        }
        if (verdict == Verdict::Unsure) {
            double ratio = std::fabs(ar) <= 1e-12 ? al / (ar + 1e100) : al / ar;
            if (!std::isfinite(ratio))
                ratio = 0.0; // the arithmetic fault of the ratio counts as 0
            const double d = ratio > 0 ? 20 * std::log10(ratio) : 0.0;
            if (!(std::fabs(-panPot - d) <= 12))
                continue;
            if (!(std::fabs(d) < std::fabs(aParam)))
                continue;
            const double delta =
                WrapPhase(std::atan2(l.Im, l.Re) - std::atan2(r.Im, r.Re)) * kDegreesPerRadian;
            if (!(delta < pParam))
                continue;
        }

        double wL, wR;
        Weights(panPot, wL, wR);
        const double newL = std::max(wL * al - wR * ar, 0.0) / (wL + wR);
        const double newR = std::max(wR * ar - wL * al, 0.0) / (wL + wR);
        // A new amplitude at the analysed phase: A'·(cos φ, sin φ) with cos φ = Re/A.
        l = newL > 0 ? TComplex{newL * (l.Re / al), newL * (l.Im / al)} : TComplex{};
        r = newR > 0 ? TComplex{newR * (r.Re / ar), newR * (r.Im / ar)} : TComplex{};
    }
}

} // namespace corvanel
