#include "dsp/PackedFFT.h"

#include "dsp/WaveFFT.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace corvanel {
namespace {

struct Signal {
    std::vector<double> re, im;
};

Signal RandomSignal(int n, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> d(-1.0, 1.0);
    Signal s{std::vector<double>(static_cast<std::size_t>(n)),
             std::vector<double>(static_cast<std::size_t>(n))};
    for (int i = 0; i < n; ++i) {
        s.re[static_cast<std::size_t>(i)] = d(gen);
        s.im[static_cast<std::size_t>(i)] = d(gen);
    }
    return s;
}

std::vector<SimdPath> AvailablePaths() {
    std::vector<SimdPath> paths;
    for (SimdPath p : {SimdPath::Baseline, SimdPath::Avx2, SimdPath::Avx512})
        if (SimdPathAvailable(p))
            paths.push_back(p);
    return paths;
}

const int kSizes[] = {1, 2, 4, 8, 16, 32, 64, 128, 512, 1024, 2048, 4096, 8192, 16384, 32768};

// The forward transform against the analyser's complex transform, slot by slot; errors
// measured against the spectrum's size (rounding grows like log N).
TEST(PackedFFT, ForwardGivesTheSpectrumInSlotOrder) {
    for (int n : kSizes) {
        const Signal x = RandomSignal(n, 7u + static_cast<unsigned>(n));
        std::vector<double> refRe = x.re, refIm = x.im;
        SplitRadixFFT(n, refRe.data(), refIm.data());
        double norm = 0;
        for (int k = 0; k < n; ++k)
            norm = std::max(norm, std::hypot(refRe[static_cast<std::size_t>(k)],
                                             refIm[static_cast<std::size_t>(k)]));
        for (SimdPath path : AvailablePaths()) {
            SCOPED_TRACE(::testing::Message() << "n " << n << " path " << static_cast<int>(path));
            PackedFFT fft(n, path);
            ASSERT_EQ(fft.Path(), path);
            Signal y = x;
            fft.Forward(y.re.data(), y.im.data());
            double worst = 0;
            for (int s = 0; s < n; ++s) {
                const std::size_t k = fft.SlotBin(s);
                worst = std::max(worst, std::hypot(y.re[static_cast<std::size_t>(s)] - refRe[k],
                                                   y.im[static_cast<std::size_t>(s)] - refIm[k]));
            }
            EXPECT_LE(worst, 1e-14 * std::max(norm, 1.0));
        }
    }
}

TEST(PackedFFT, InverseUndoesForwardTimesN) {
    for (int n : kSizes) {
        const Signal x = RandomSignal(n, 99u + static_cast<unsigned>(n));
        for (SimdPath path : AvailablePaths()) {
            SCOPED_TRACE(::testing::Message() << "n " << n << " path " << static_cast<int>(path));
            PackedFFT fft(n, path);
            Signal y = x;
            fft.Forward(y.re.data(), y.im.data());
            fft.Inverse(y.re.data(), y.im.data());
            double worst = 0;
            for (std::size_t i = 0; i < x.re.size(); ++i)
                worst = std::max(
                    {worst, std::fabs(y.re[i] / n - x.re[i]), std::fabs(y.im[i] / n - x.im[i])});
            EXPECT_LE(worst, 1e-14);
        }
    }
}

// Every vector width runs the same operations in the same order: the same bits.
TEST(PackedFFT, EveryInstructionSetGivesTheBaselineBits) {
    if (AvailablePaths().size() < 2)
        GTEST_SKIP() << "only the baseline path runs on this processor";
    for (int n : kSizes) {
        const Signal x = RandomSignal(n, 3u * static_cast<unsigned>(n));
        Signal base = x;
        PackedFFT baseline(n, SimdPath::Baseline);
        baseline.Forward(base.re.data(), base.im.data());
        Signal baseBack = base;
        baseline.Inverse(baseBack.re.data(), baseBack.im.data());
        for (SimdPath path : AvailablePaths()) {
            SCOPED_TRACE(::testing::Message() << "n " << n << " path " << static_cast<int>(path));
            PackedFFT fft(n, path);
            Signal y = x;
            fft.Forward(y.re.data(), y.im.data());
            EXPECT_EQ(y.re, base.re);
            EXPECT_EQ(y.im, base.im);
            fft.Inverse(y.re.data(), y.im.data());
            EXPECT_EQ(y.re, baseBack.re);
            EXPECT_EQ(y.im, baseBack.im);
        }
    }
}

TEST(PackedFFT, RefusesALengthThatIsNotAPowerOfTwo) {
    for (int n : {0, -4, 3, 12, 1000})
        EXPECT_THROW(PackedFFT{n}, CorvanelError) << n;
}

} // namespace
} // namespace corvanel
