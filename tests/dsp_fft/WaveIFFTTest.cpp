#include "tests/dsp_fft/DftReference.h"
#include "tests/dsp_fft/ExpectError.h"
#include "dsp/WaveFFT.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

using namespace corvanel;
using dsp_test::ExpectError;
using dsp_test::RandomBlock;

namespace {

// Leaves the completed spectrum in the result arrays, so that readers see chosen values.
void NoTransform(int, double*, double*) {}

TEST(TWaveIFFT, NewInstanceHasTheDocumentedDefaults) {
    TWaveIFFT ifft;
    EXPECT_EQ(ifft.Count(), 2);
    EXPECT_EQ(ifft.Radix(), 2);
    EXPECT_FALSE(ifft.MutingCoef());
    EXPECT_EQ(ifft.IFFTProcedure(), &Radix2IFFT);
    EXPECT_NO_THROW(ifft.GetResultDouble(3));
    ExpectError([&] { ifft.GetResultDouble(4); }, kOutOfRangeMessage);
}

std::vector<double> gSeenRe, gSeenIm;

// Records what the component hands to its transform.
void RecordSpectrum(int n, double* ar, double* ai) {
    gSeenRe.assign(ar, ar + n);
    gSeenIm.assign(ai, ai + n);
}

TEST(TWaveIFFT, CompletesTheConjugateSymmetricSpectrumWithAZeroNyquistBin) {
    TWaveIFFT ifft;
    ifft.SetCount(4);
    ifft.SetSourceByArray(std::vector<TComplex>{{1, 0.5}, {2, 3}, {4, -5}, {6, 0}});
    // A real run leaves samples in the arrays; the Nyquist bin must not keep them.
    ifft.Execute();
    ASSERT_NE(ifft.GetResultDouble(4), 0.0);
    ifft.SetIFFTProcedure(RecordSpectrum);
    ifft.Execute();
    EXPECT_EQ(gSeenRe, (std::vector<double>{1, 2, 4, 6, 0, 6, 4, 2}));
    EXPECT_EQ(gSeenIm, (std::vector<double>{0.5, 3, -5, 0, 0, 0, 5, -3}));
    EXPECT_FALSE(std::signbit(gSeenIm[5])); // a zero imaginary part mirrors as +0.0
}

TEST(TWaveIFFT, SingleBinsGiveCosines) {
    const double pi = std::numbers::pi;
    TWaveIFFT ifft;
    ifft.SetCount(4);
    const std::vector<double> amp = {0, 4, 0, 0}, phase = {0, 0, 0, 0};
    ifft.SetSourcePolar(amp, phase);
    ifft.Execute();
    for (int t = 0; t < 8; ++t)
        EXPECT_NEAR(ifft.GetResultDouble(t), std::cos(2 * pi * t / 8), 1e-15) << t;

    ifft.SetMutingCoef(true);
    ifft.Execute();
    for (int t = 0; t < 8; ++t)
        EXPECT_NEAR(ifft.GetResultDouble(t), std::cos(2 * pi * t / 8) / 8, 1e-15) << t;

    ifft.SetMutingCoef(false);
    ifft.SetSourceByArray(std::vector<TComplex>{{8, 0}, {0, 0}, {0, 0}, {0, 0}});
    ifft.Execute();
    for (int t = 0; t < 8; ++t)
        EXPECT_DOUBLE_EQ(ifft.GetResultDouble(t), 1.0);

    // Bin k of amplitude A and phase φ: (A/M)·cos(2π·k·t/(2M) + φ).
    const int M = 32, k = 5;
    const double A = 3.0, phi = -1.1;
    ifft.SetCount(M);
    std::vector<double> a(M, 0.0), p(M, 0.0);
    a[k] = A;
    p[k] = phi;
    ifft.SetSourcePolar(a, p);
    ifft.Execute();
    for (int t = 0; t < 2 * M; ++t)
        EXPECT_NEAR(ifft.GetResultDouble(t), A / M * std::cos(2 * pi * k * t / (2 * M) + phi),
                    1e-14);
}

TEST(TWaveIFFT, PolarBinsAreAmplitudeTimesCosineAndSine) {
    TWaveIFFT ifft;
    const int m = 512;
    ifft.SetCount(m);
    ifft.SetIFFTProcedure(RecordSpectrum);
    auto amp = RandomBlock(m, 51), phase = RandomBlock(m, 52);
    for (double& p : phase)
        p *= 40; // well outside [-π, π] too
    ifft.SetSourcePolar(amp, phase);
    for (int i = 0; i < m; ++i) {
        ASSERT_EQ(ifft.GetSourceData(i).Re, amp[i] * std::cos(phase[i])) << i;
        ASSERT_EQ(ifft.GetSourceData(i).Im, amp[i] * std::sin(phase[i])) << i;
    }
}

// A real block without a component at half the sampling rate.
std::vector<double> BlockWithoutNyquist(int n, unsigned seed) {
    auto x = RandomBlock(n, seed);
    double nyquist = 0;
    for (int t = 0; t < n; ++t)
        nyquist += (t % 2 == 0 ? x[t] : -x[t]);
    for (int t = 0; t < n; ++t)
        x[t] -= (t % 2 == 0 ? nyquist : -nyquist) / n;
    return x;
}

class RoundTrip : public testing::TestWithParam<int> {};

TEST_P(RoundTrip, AnalyseThenSynthesiseGivesTheBlockBack) {
    const int n = GetParam();
    const int m = n / 2;
    const auto x = BlockWithoutNyquist(n, 40u + n);
    for (TFFTProcedure forward : {static_cast<TFFTProcedure>(SplitRadixFFT),
                                  static_cast<TFFTProcedure>([](int c, double*r, double*i) {
                                      Radix2FFT(c, r, i, false);
                                  })}) {
        TWaveFFT fft;
        fft.SetWindowType(wtRECTANGULAR);
        fft.SetFFTProcedure(forward);
        fft.SetSourceByArray(std::span<const double>(x));
        fft.Execute();

        std::vector<double> amp(m), phase(m), re(m), im(m);
        for (int k = 0; k < m; ++k) {
            amp[k] = fft.GetResultAmplitude(k);
            phase[k] = fft.GetResultPhase(k);
            re[k] = fft.GetResultReal(k);
            im[k] = fft.GetResultImaginary(k);
        }
        TWaveIFFT ifft;
        ifft.SetCount(m);
        std::vector<double> out(n);
        const double tolerance = 1e-14 * (std::log2(n) + 1) * 8;

        ifft.SetSourcePolar(amp, phase);
        ifft.Execute();
        ifft.GetResultToArray(out);
        for (int t = 0; t < n; ++t)
            ASSERT_NEAR(out[t], x[t], tolerance) << "polar, sample " << t;

        ifft.SetSourceComplex(re, im);
        ifft.Execute();
        ifft.GetResultToArray(out);
        for (int t = 0; t < n; ++t)
            ASSERT_NEAR(out[t], x[t], tolerance) << "complex, sample " << t;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, RoundTrip, testing::Values(2, 4, 64, 1024, 8192, 16384),
                         [](const auto& row) { return "N" + std::to_string(row.param); });

struct Conversion {
    double value;
    std::int32_t as32;
    std::int16_t as16;
    std::uint8_t as8; // of value + 128
};

class Conversions : public testing::TestWithParam<Conversion> {};

TEST_P(Conversions, RoundHalfToEvenThenClamp) {
    const Conversion c = GetParam();
    TWaveIFFT ifft;
    ifft.SetCount(1); // output: bin 0 and the zero Nyquist bin
    ifft.SetIFFTProcedure(NoTransform);
    ifft.SetSourceData(0, {c.value, 0});
    ifft.Execute();
    EXPECT_EQ(ifft.GetResultInteger(0), c.as32);
    EXPECT_EQ(ifft.GetResultSmallInt(0), c.as16);
    EXPECT_EQ(static_cast<int>(ifft.GetResultByte(0)), static_cast<int>(c.as8));
    std::int32_t a32[2];
    std::int16_t a16[2];
    std::uint8_t a8[2];
    ifft.GetResultToArray(std::span<std::int32_t>(a32));
    ifft.GetResultToArray(std::span<std::int16_t>(a16));
    ifft.GetResultToArray(std::span<std::uint8_t>(a8));
    EXPECT_EQ(a32[0], c.as32);
    EXPECT_EQ(a16[0], c.as16);
    EXPECT_EQ(a8[0], c.as8);
    EXPECT_EQ(a8[1], 128); // the zero bin
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Table, Conversions,
    testing::Values(Conversion{2.5, 2, 2, 130}, Conversion{3.5, 4, 4, 132},
                    Conversion{-2.5, -2, -2, 126}, Conversion{0.0, 0, 0, 128},
                    Conversion{1e6, 1000000, 32767, 255}, Conversion{-1e6, -1000000, -32768, 0},
                    Conversion{-128.4, -128, -128, 0}, Conversion{127.6, 128, 128, 255},
                    Conversion{-127.5, -128, -128, 0}, Conversion{126.5, 126, 126, 254},
                    Conversion{3e9, 2147483647, 32767, 255}, Conversion{-3e9, kMin32, -32768, 0},
                    // No 64-bit value: the lowest value of the target.
                    Conversion{kNaN, kMin32, -32768, 0}, Conversion{1e300, kMin32, -32768, 0},
                    Conversion{9223372036854775808.0, kMin32, -32768, 0},
                    Conversion{std::numeric_limits<double>::infinity(), kMin32, -32768, 0}),
    [](const auto& row) { return "Value" + test::CaseName(row.param.value); });

TEST(TWaveIFFT, ReadersRefuseIndicesOutsideTheOutput) {
    TWaveIFFT ifft;
    ifft.SetCount(8);
    for (int bad : {-1, 16, 17}) {
        ExpectError([&] { ifft.GetResultDouble(bad); }, kOutOfRangeMessage);
        ExpectError([&] { ifft.GetResultInteger(bad); }, kOutOfRangeMessage);
        ExpectError([&] { ifft.GetResultSmallInt(bad); }, kOutOfRangeMessage);
        ExpectError([&] { ifft.GetResultByte(bad); }, kOutOfRangeMessage);
    }
    EXPECT_NO_THROW(ifft.GetResultDouble(15));
    ExpectError([&] { ifft.GetSourceData(8); }, kOutOfRangeMessage);
    ExpectError([&] { ifft.SetSourceData(-1, {}); }, kOutOfRangeMessage);

    std::vector<double> shortD(15);
    std::vector<std::int16_t> short16(15);
    ExpectError([&] { ifft.GetResultToArray(shortD); }, kOutOfRangeMessage);
    ExpectError([&] { ifft.GetResultToArray(short16); }, kOutOfRangeMessage);
    std::vector<double> longer(20, 42.0);
    ifft.GetResultToArray(longer);
    EXPECT_EQ(longer[16], 42.0); // only 2M elements written

    const std::vector<double> seven(7), eight(8);
    ExpectError([&] { ifft.SetSourcePolar(seven, eight); }, kOutOfRangeMessage);
    ExpectError([&] { ifft.SetSourcePolar(eight, seven); }, kOutOfRangeMessage);
    ExpectError([&] { ifft.SetSourceComplex(seven, eight); }, kOutOfRangeMessage);
    ExpectError([&] { ifft.SetSourceByArray(std::vector<TComplex>(7)); }, kOutOfRangeMessage);
}

TEST(TWaveIFFT, CountIsTestedAgainstTheRadix) {
    TWaveIFFT ifft;
    for (int count : {4096, 8192, 16384}) {
        ifft.SetCount(count);
        EXPECT_EQ(ifft.Count(), count);
        EXPECT_NO_THROW(ifft.GetResultDouble(2 * count - 1));
    }
    ifft.SetSourceData(3, {1.25, -0.5});
    ExpectError([&] { ifft.SetCount(6000); }, kNotPowerOfRadixMessage);
    ExpectError([&] { ifft.SetCount(-2); }, kNegativeCountMessage);
    EXPECT_EQ(ifft.Count(), 16384);
    EXPECT_EQ(ifft.GetSourceData(3).Re, 1.25);
    EXPECT_NO_THROW(ifft.GetResultDouble(32767));

    // The same count keeps the contents; a smaller one keeps the leading bins.
    ifft.SetCount(16384);
    EXPECT_EQ(ifft.GetSourceData(3).Im, -0.5);
    ifft.SetCount(4);
    EXPECT_EQ(ifft.GetSourceData(3).Im, -0.5);

    // With the test off a count that is not a power of two is stored, but not transformed.
    ifft.SetRadix(0);
    ifft.SetCount(3);
    EXPECT_EQ(ifft.Count(), 3);
    ExpectError([&] { ifft.Execute(); }, kNotPowerOfTwoMessage);
    ifft.SetCount(0);
    ifft.Execute();
    std::vector<double> none;
    ifft.GetResultToArray(none);
}

} // namespace
