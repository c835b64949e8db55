#include "tests/dsp_reduce/LiteralReduce.h"

#include "dsp/WaveFFT.h"

#include <algorithm>
#include <cmath>

namespace corvanel::reducetest {

namespace {
std::int16_t Clamp(double v) {
    return static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0));
}
} // namespace

Pcm LiteralReduce(const Pcm& input, const ReduceParams& params, double samplingRate) {
    const int n = params.VRFFTPoint.load();
    const std::size_t total = input.size();
    TWaveFFT fft1, fft2;
    for (TWaveFFT* f : {&fft1, &fft2}) {
        f->SetWindowType(wtRECTANGULAR);
        f->SetRadix(0);
    }
    TWaveIFFT ifft1, ifft2;
    std::vector<std::int16_t> history(static_cast<std::size_t>(n / 2), 0);
    std::vector<std::int16_t> tailQueue; // empty at first
    Pcm out;
    std::size_t consumed = 0;
    bool first = true;
    while (first ? total - consumed >= 4u * n : total - consumed > 4u * n) {
        first = false;
        std::vector<std::int16_t> frame(static_cast<std::size_t>(2 * n), 0);
        std::copy(history.begin(), history.end(), frame.begin());
        std::memcpy(&frame[static_cast<std::size_t>(n / 2)], &input[consumed], 3u * n);
        consumed += 3u * n;
        std::copy(frame.begin() + 3 * (n / 2), frame.end(), history.begin());

        std::vector<double> left(static_cast<std::size_t>(n)), right(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            left[static_cast<std::size_t>(i)] = frame[static_cast<std::size_t>(2 * i)] / 32768.0;
            right[static_cast<std::size_t>(i)] =
                frame[static_cast<std::size_t>(2 * i + 1)] / 32768.0;
        }
        fft1.SetCount(n);
        fft1.SetSourceByArray(std::span<const double>(left));
        fft1.Execute();
        fft2.SetCount(n);
        fft2.SetSourceByArray(std::span<const double>(right));
        fft2.Execute();
        const double lo = std::min(params.VRBand1.load(), params.VRBand2.load());
        const double hi = std::max(params.VRBand1.load(), params.VRBand2.load());
        fft1.SetSamplingRate(samplingRate);

        const std::size_t half = static_cast<std::size_t>(n / 2);
        std::vector<double> ampL(half), phL(half), ampR(half), phR(half);
        for (int k = 0; k < n / 2; ++k) {
            const std::size_t kk = static_cast<std::size_t>(k);
            const double al = fft1.GetResultAmplitude(k), ar = fft2.GetResultAmplitude(k);
            const double pl = fft1.GetResultPhase(k), pr = fft2.GetResultPhase(k);
            ampL[kk] = al;
            phL[kk] = pl;
            ampR[kk] = ar;
            phR[kk] = pr;
            if (!std::isfinite(al) || !std::isfinite(ar) || !std::isfinite(pl) ||
                !std::isfinite(pr))
                continue;
            const double pan = params.VRPanPot.load();
            double wL = 1, wR = 1;
            if (pan > 0)
                wL = 1 + 2 * std::pow(std::cos(pan * kTwoPi / 20), 2);
            if (pan < 0)
                wR = 1 + 2 * std::pow(std::cos(-pan * kTwoPi / 20), 2);
            const double f = fft1.QueryFrequency(k);
            const bool inBand = lo < f && f < hi;
            double r = std::fabs(ar) <= 1e-12 ? al / (ar + 1e100) : al / ar;
            if (!std::isfinite(r))
                r = 0;
            const double d = r > 0 ? 20 * std::log10(r) : 0;
            const bool position = std::fabs(-pan - d) <= 12;
            const bool level = std::fabs(d) < std::fabs(params.VRAParam.load());
            const double delta = WrapPhase(pl - pr) * 57.29577951308232;
            const bool phase = delta < params.VRPParam.load();
            if (inBand && position && level && phase) {
                ampL[kk] = std::max(wL * al - wR * ar, 0.0) / (wL + wR);
                ampR[kk] = std::max(wR * ar - wL * al, 0.0) / (wL + wR);
            }
        }
        ifft1.SetCount(n / 2);
        ifft2.SetCount(n / 2);
        ifft1.SetSourcePolar(ampL, phL);
        ifft2.SetSourcePolar(ampR, phR);
        ifft1.Execute();
        ifft2.Execute();
        ifft1.GetResultToArray(std::span<double>(left));
        ifft2.GetResultToArray(std::span<double>(right));
        for (int i = 0; i < n; ++i) {
            for (int c = 0; c < 2; ++c) {
                const double y = (c == 0 ? left : right)[static_cast<std::size_t>(i)];
                std::int16_t& s = frame[static_cast<std::size_t>(2 * i + c)];
                s = params.VRInverse.load() ? Clamp(s - std::nearbyint(y * 32768.0))
                                            : Clamp(std::nearbyint(y * 32768.0));
            }
        }
        std::vector<std::int16_t> tail(static_cast<std::size_t>(2 * n), 0);
        std::copy(tailQueue.begin(), tailQueue.end(), tail.begin());
        const int m = n / 4;
        for (int i = 0; i < m; ++i) {
            const double theta = i * (3.141592653589793 / 2) / (m - 1);
            const double a = std::pow(std::cos(theta), 2), b = std::pow(std::sin(theta), 2);
            for (int c = 0; c < 2; ++c) {
                const std::size_t at = static_cast<std::size_t>(2 * i + c);
                frame[at] = static_cast<std::int16_t>(std::nearbyint(
                    tail[static_cast<std::size_t>(3 * (n / 2)) + at] * a + frame[at] * b));
            }
        }
        tailQueue = frame;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(frame.data());
        out.insert(out.end(), bytes, bytes + 3 * n);
    }
    return out;
}

} // namespace corvanel::reducetest
