#include "dsp/WaveFFT.h"
#include "tests/dsp_fft/DftReference.h"
#include "tests/dsp_fft/ExpectError.h"
#include "tests/dsp_fft/LiteralKernels.h"
#include "tests/support/CaseName.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <thread>

using namespace corvanel;
using dsp_test::Dft;
using dsp_test::ExpectError;
using dsp_test::RandomBlock;
using dsp_test::Tolerance;

namespace {

void SplitRadixForward(int n, double* ar, double* ai) {
    SplitRadixFFT(n, ar, ai);
}
void Radix2Forward(int n, double* ar, double* ai) {
    Radix2FFT(n, ar, ai, false);
}

struct KernelCase {
    const char* name;
    TFFTProcedure forward;
    int n;
};

std::string KernelCaseName(const testing::TestParamInfo<KernelCase>& info) {
    return std::string(info.param.name) + "_" + std::to_string(info.param.n);
}

class ForwardKernel : public testing::TestWithParam<KernelCase> {};

TEST_P(ForwardKernel, MatchesDirectDftOnRandomComplexInput) {
    const auto [name, forward, n] = GetParam();
    auto re = RandomBlock(n, 11u + n);
    auto im = RandomBlock(n, 97u + n);
    const auto expected = Dft(re, im);
    forward(n, re.data(), im.data());
    for (int k = 0; k < n; ++k) {
        ASSERT_NEAR(re[k], static_cast<double>(expected[k].real()), Tolerance(n)) << "bin " << k;
        ASSERT_NEAR(im[k], static_cast<double>(expected[k].imag()), Tolerance(n)) << "bin " << k;
    }
}

TEST_P(ForwardKernel, InverseRadix2ReturnsTheInput) {
    const auto [name, forward, n] = GetParam();
    const auto re0 = RandomBlock(n, 5u + n);
    const auto im0 = RandomBlock(n, 7u + n);
    auto re = re0, im = im0;
    forward(n, re.data(), im.data());
    Radix2IFFT(n, re.data(), im.data());
    for (int t = 0; t < n; ++t) {
        ASSERT_NEAR(re[t], re0[t], 1e-14 * (std::log2(n) + 1) * 4) << "sample " << t;
        ASSERT_NEAR(im[t], im0[t], 1e-14 * (std::log2(n) + 1) * 4) << "sample " << t;
    }
}

TEST_P(ForwardKernel, LeavesPointsBeyondNAlone) {
    const auto [name, forward, n] = GetParam();
    std::vector<double> re = RandomBlock(n + 3, 3), im = RandomBlock(n + 3, 4);
    const std::vector<double> tailRe(re.begin() + n, re.end()), tailIm(im.begin() + n, im.end());
    forward(n, re.data(), im.data());
    EXPECT_EQ(std::vector<double>(re.begin() + n, re.end()), tailRe);
    EXPECT_EQ(std::vector<double>(im.begin() + n, im.end()), tailIm);
}

std::vector<KernelCase> KernelCases() {
    std::vector<KernelCase> cases;
    for (int n : {1, 2, 4, 8, 16, 32, 128, 512, 2048, 4096}) {
        cases.push_back({"SplitRadix", SplitRadixForward, n});
        cases.push_back({"Radix2", Radix2Forward, n});
    }
    return cases;
}

TEST_P(ForwardKernel, GivesTheSameBitsAsTheAlgorithmWrittenOut) {
    const auto [name, forward, n] = GetParam();
    auto re = RandomBlock(n, 71u + n), im = RandomBlock(n, 72u + n);
    auto litRe = re, litIm = im;
    forward(n, re.data(), im.data());
    if (forward == &SplitRadixForward)
        dsp_test::LiteralSplitRadix(n, litRe.data(), litIm.data());
    else
        dsp_test::LiteralRadix2(n, litRe.data(), litIm.data(), false);
    EXPECT_EQ(re, litRe);
    EXPECT_EQ(im, litIm);

    auto invRe = RandomBlock(n, 73u + n), invIm = RandomBlock(n, 74u + n);
    auto litInvRe = invRe, litInvIm = invIm;
    Radix2IFFT(n, invRe.data(), invIm.data());
    dsp_test::LiteralRadix2(n, litInvRe.data(), litInvIm.data(), true);
    EXPECT_EQ(invRe, litInvRe);
    EXPECT_EQ(invIm, litInvIm);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ForwardKernel, testing::ValuesIn(KernelCases()), KernelCaseName);

// The kernels run the longer stages over the whole array and the shorter ones chunk by
// chunk; at the processor's sizes both regimes are in play.
TEST(Kernels, GiveTheSameBitsAsTheWrittenOutAlgorithmAtTheProcessorsSizes) {
    for (int n : {2048, 8192, 16384, 32768}) {
        const auto x = RandomBlock(n, 90u + n);
        auto re = x, im = std::vector<double>(n, 0.0);
        auto litRe = re, litIm = im;
        SplitRadixFFT(n, re.data(), im.data());
        dsp_test::LiteralSplitRadix(n, litRe.data(), litIm.data());
        ASSERT_EQ(re, litRe) << "split radix, n " << n;
        ASSERT_EQ(im, litIm) << "split radix, n " << n;
        Radix2IFFT(n, re.data(), im.data());
        dsp_test::LiteralRadix2(n, litRe.data(), litIm.data(), true);
        ASSERT_EQ(re, litRe) << "radix 2 inverse, n " << n;
        ASSERT_EQ(im, litIm) << "radix 2 inverse, n " << n;
    }
}

TEST(Kernels, AgreeWithEachOtherAtTheProcessorsSizes) {
    for (int n : {8192, 16384, 32768}) {
        auto re1 = RandomBlock(n, 1), im1 = std::vector<double>(n, 0.0);
        auto re2 = re1, im2 = im1;
        SplitRadixFFT(n, re1.data(), im1.data());
        Radix2FFT(n, re2.data(), im2.data(), false);
        for (int k = 0; k < n; ++k) {
            ASSERT_NEAR(re1[k], re2[k], 1e-10) << "n " << n << " bin " << k;
            ASSERT_NEAR(im1[k], im2[k], 1e-10) << "n " << n << " bin " << k;
        }
    }
}

// Tables are built on first use of a size; several threads may arrive at once.
TEST(Kernels, ThreadsFirstUsingASizeTogetherGetTheSameResult) {
    const int n = 1 << 16; // used by no other test
    const auto x = RandomBlock(n, 31);
    std::vector<std::vector<double>> re(4, x), im(4, std::vector<double>(n, 0.0));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            if (t % 2 == 0)
                SplitRadixFFT(n, re[t].data(), im[t].data());
            else
                Radix2IFFT(n, re[t].data(), im[t].data());
        });
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(re[0], re[2]);
    EXPECT_EQ(im[0], im[2]);
    EXPECT_EQ(re[1], re[3]);
    EXPECT_EQ(im[1], im[3]);
    auto check = x;
    std::vector<double> checkIm(n, 0.0);
    SplitRadixFFT(n, check.data(), checkIm.data());
    EXPECT_EQ(re[0], check);
}

TEST(Kernels, RefuseLengthsThatAreNotPowersOfTwoWithoutTouchingData) {
    for (int n : {3, 6, 7, 3000}) {
        auto re = RandomBlock(n, 2), im = RandomBlock(n, 3);
        const auto re0 = re, im0 = im;
        ExpectError([&] { SplitRadixFFT(n, re.data(), im.data()); }, kNotPowerOfTwoMessage);
        ExpectError([&] { Radix2FFT(n, re.data(), im.data(), false); }, kNotPowerOfTwoMessage);
        ExpectError([&] { Radix2IFFT(n, re.data(), im.data()); }, kNotPowerOfTwoMessage);
        EXPECT_EQ(re, re0);
        EXPECT_EQ(im, im0);
    }
}

TEST(Kernels, ZeroLengthDoesNothing) {
    double re = 5, im = 6;
    SplitRadixFFT(0, &re, &im);
    Radix2FFT(0, &re, &im, true);
    EXPECT_EQ(re, 5);
    EXPECT_EQ(im, 6);
}

TEST(BitReverse, PermutesIndicesByReversedBits) {
    std::vector<double> re(16), im(16);
    for (int i = 0; i < 16; ++i) {
        re[i] = i;
        im[i] = -i;
    }
    BitReverse(16, re.data(), im.data());
    const std::vector<double> expected = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
    EXPECT_EQ(re, expected);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(im[i], -expected[i]);
}

TEST(BitReverse, StaysInsideArraysOfAnyLength) {
    // Under the address sanitizer an index past n would be caught here.
    for (int n = 3; n <= 40; ++n) {
        std::vector<double> re(n), im(n);
        for (int i = 0; i < n; ++i)
            re[i] = i;
        BitReverse(n, re.data(), im.data());
        std::vector<double> sorted = re;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(sorted[i], i) << "n " << n << ": not a permutation";
    }
}

TEST(Helpers, BesselI0FollowsTheFunctionWithinTheApproximationsAccuracy) {
    for (double x : {0.0, 0.5, 1.0, 3.0, 3.7499, 3.75, 5.0, 10.0, 26.703537555513243}) {
        const double exact = std::cyl_bessel_i(0.0, x);
        EXPECT_NEAR(BesselI0(x), exact, 2e-7 * exact) << "x " << x;
        EXPECT_EQ(BesselI0(-x), BesselI0(x)) << "x " << x;
    }
}

TEST(Helpers, WrapPhaseFoldsIntoPlusMinusPi) {
    const double pi = std::numbers::pi;
    EXPECT_NEAR(WrapPhase(3 * pi / 2), -pi / 2, 1e-12);
    EXPECT_NEAR(WrapPhase(-3 * pi / 2), pi / 2, 1e-12);
    EXPECT_EQ(WrapPhase(0.0), 0.0);
    const auto angles = RandomBlock(200, 8);
    for (double a : angles) {
        const double x = a * 20;
        const double w = WrapPhase(x);
        const double sign = std::sin(x) > 0 ? 1.0 : (std::sin(x) < 0 ? -1.0 : 0.0);
        EXPECT_EQ(w, sign * std::acos(std::cos(x))) << "x " << x;
        EXPECT_LE(std::fabs(w), pi);
        // Same angle: the difference is a whole number of turns.
        const double turns = (x - w) / (2 * pi);
        EXPECT_NEAR(turns, std::round(turns), 1e-9) << "x " << x;
    }
}

struct RadixCase {
    int radix;
    int count;
    bool accepted;
};

class RadixTest : public testing::TestWithParam<RadixCase> {};

TEST_P(RadixTest, SetCountAcceptsExactlyThePowers) {
    const auto [radix, count, accepted] = GetParam();
    EXPECT_EQ(IsPowerOfRadix(count, radix), accepted);
    TWaveFFT fft;
    fft.SetRadix(1);
    fft.SetCount(5);
    for (int i = 0; i < 5; ++i)
        fft.SetSourceData(i, i + 1.5);
    fft.SetRadix(radix);
    if (accepted) {
        fft.SetCount(count);
        EXPECT_EQ(fft.Count(), count);
    } else {
        ExpectError([&] { fft.SetCount(count); }, kNotPowerOfRadixMessage);
        ASSERT_EQ(fft.Count(), 5);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(fft.GetSourceData(i), i + 1.5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RadixTest,
    testing::Values(RadixCase{2, 1, true}, RadixCase{2, 2, true}, RadixCase{2, 4, true},
                    RadixCase{2, 1024, true}, RadixCase{2, 32768, true}, RadixCase{2, 6, false},
                    RadixCase{2, 3000, false}, RadixCase{2, 3, false}, RadixCase{0, 3000, true},
                    RadixCase{0, 7, true}, RadixCase{1, 6, true}, RadixCase{-4, 6, true},
                    RadixCase{3, 27, true}, RadixCase{3, 18, false}, RadixCase{4, 8, false},
                    RadixCase{4, 64, true}, RadixCase{10, 1000, true}, RadixCase{2, 0, true}),
    [](const auto& row) {
        return "Radix" + test::CaseName(row.param.radix) + "_Count" +
               test::CaseName(row.param.count);
    });

TEST(TWaveFFT, NewInstanceHasTheDocumentedDefaults) {
    TWaveFFT fft;
    EXPECT_EQ(fft.Count(), 2);
    EXPECT_EQ(fft.Radix(), 0);
    EXPECT_EQ(fft.SamplingRate(), 44100.0);
    EXPECT_FALSE(fft.Stabilize());
    EXPECT_EQ(fft.WindowType(), wtHANNING);
    EXPECT_EQ(fft.FFTProcedure(), &SplitRadixFFT);
}

class AnalyserSize : public testing::TestWithParam<int> {};

TEST_P(AnalyserSize, RealBlockGivesTheDirectDft) {
    const int n = GetParam();
    const auto x = RandomBlock(n, 21u + n);
    const auto expected = Dft(x, std::vector<double>(n, 0.0));
    TWaveFFT fft;
    fft.SetWindowType(wtRECTANGULAR);
    fft.SetSourceByArray(std::span<const double>(x));
    ASSERT_EQ(fft.Count(), n);
    fft.Execute();
    for (int k = 0; k < n / 2; ++k) {
        const auto e = expected[k];
        ASSERT_NEAR(fft.GetResultReal(k), static_cast<double>(e.real()), Tolerance(n));
        ASSERT_NEAR(fft.GetResultImaginary(k), static_cast<double>(e.imag()), Tolerance(n));
        ASSERT_NEAR(fft.GetResultAmplitude(k), static_cast<double>(std::abs(e)), Tolerance(n));
        ASSERT_NEAR(fft.GetResultPower(k), static_cast<double>(std::norm(e)), 2 * n * Tolerance(n));
    }
    // The upper half stays reachable through the raw reader.
    for (int k = n / 2; k < n; ++k)
        ASSERT_NEAR(fft.GetResultRaw(k).Re, static_cast<double>(expected[k].real()), Tolerance(n));
}

TEST_P(AnalyserSize, WindowWeightsOnlyTheRealPartAndLeavesTheSourceAlone) {
    const int n = GetParam();
    const auto re = RandomBlock(n, 1), im = RandomBlock(n, 2);
    std::vector<TComplex> data(n);
    for (int i = 0; i < n; ++i)
        data[i] = {re[i], im[i]};
    TWaveFFT fft;
    fft.SetWindowType(wtBLACKMAN);
    fft.SetSourceByArrayEx(data);
    fft.Execute();
    std::vector<double> w(n);
    fft.GetWeightWindow(0, w, wtBLACKMAN);
    std::vector<double> weighted(n);
    for (int i = 0; i < n; ++i)
        weighted[i] = re[i] * w[i];
    const auto expected = Dft(weighted, im);
    for (int k = 0; k < n; ++k) {
        ASSERT_NEAR(fft.GetResultRaw(k).Re, static_cast<double>(expected[k].real()), Tolerance(n));
        ASSERT_NEAR(fft.GetResultRaw(k).Im, static_cast<double>(expected[k].imag()), Tolerance(n));
    }
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(fft.GetSourceData(i), re[i]);
}

INSTANTIATE_TEST_SUITE_P(Sizes, AnalyserSize, testing::Values(2, 4, 16, 256, 1024),
                         [](const auto& row) { return "N" + std::to_string(row.param); });

TEST(TWaveFFT, ImpulseAndConstantBlocks) {
    TWaveFFT fft;
    fft.SetWindowType(wtRECTANGULAR);
    std::vector<double> impulse(64, 0.0);
    impulse[0] = 1.0;
    fft.SetSourceByArray(std::span<const double>(impulse));
    fft.Execute();
    for (int k = 0; k < 32; ++k) {
        EXPECT_DOUBLE_EQ(fft.GetResultAmplitude(k), 1.0);
        EXPECT_EQ(fft.GetResultPhase(k), 0.0);
    }
    const std::vector<double> constant(64, -0.25);
    fft.SetSourceByArray(std::span<const double>(constant));
    fft.Execute();
    EXPECT_DOUBLE_EQ(fft.GetResultAmplitude(0), 64 * 0.25);
    for (int k = 1; k < 32; ++k)
        EXPECT_NEAR(fft.GetResultAmplitude(k), 0.0, 1e-13);
}

TEST(TWaveFFT, IntegerOverloadsLoadUnscaledSamples) {
    TWaveFFT fft;
    const std::vector<std::uint8_t> bytes = {128, 255, 0};
    fft.SetSourceByArray(std::span<const std::uint8_t>(bytes));
    ASSERT_EQ(fft.Count(), 3);
    EXPECT_EQ(fft.GetSourceData(0), 0.0);
    EXPECT_EQ(fft.GetSourceData(1), 127.0);
    EXPECT_EQ(fft.GetSourceData(2), -128.0);

    const std::vector<std::int16_t> shorts = {-32768, 32767, 5, 0};
    fft.SetSourceByArray(std::span<const std::int16_t>(shorts));
    ASSERT_EQ(fft.Count(), 4);
    EXPECT_EQ(fft.GetSourceData(0), -32768.0);
    EXPECT_EQ(fft.GetSourceData(1), 32767.0);

    const std::vector<std::int32_t> ints = {-2147483647 - 1, 2147483647};
    fft.SetSourceByArray(std::span<const std::int32_t>(ints));
    ASSERT_EQ(fft.Count(), 2);
    EXPECT_EQ(fft.GetSourceData(0), -2147483648.0);
    EXPECT_EQ(fft.GetSourceData(1), 2147483647.0);
}

TEST(TWaveFFT, LoadingRefusedByThePowerTestLeavesTheSourceUntouched) {
    TWaveFFT fft;
    fft.SetRadix(2);
    const std::vector<double> four = {1, 2, 3, 4};
    fft.SetSourceByArray(std::span<const double>(four));
    const std::vector<double> three = {9, 9, 9};
    ExpectError([&] { fft.SetSourceByArray(std::span<const double>(three)); },
                kNotPowerOfRadixMessage);
    ASSERT_EQ(fft.Count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(fft.GetSourceData(i), four[i]);
}

// Open choices: a negative count is refused; a count that is not a power of two is stored
// (with the power test off) but the built-in kernels refuse to transform it.
TEST(TWaveFFT, NegativeCountIsRefusedAndNonPowerOfTwoIsNotTransformed) {
    TWaveFFT fft;
    fft.SetCount(4);
    fft.SetSourceData(3, 7.0);
    ExpectError([&] { fft.SetCount(-1); }, kNegativeCountMessage);
    ASSERT_EQ(fft.Count(), 4);
    EXPECT_EQ(fft.GetSourceData(3), 7.0);

    fft.SetCount(6);
    EXPECT_EQ(fft.Count(), 6);
    EXPECT_EQ(fft.GetSourceData(3), 7.0); // leading elements kept
    EXPECT_EQ(fft.GetSourceData(5), 0.0); // new ones zero
    ExpectError([&] { fft.Execute(); }, kNotPowerOfTwoMessage);

    fft.SetCount(0);
    fft.Execute();
    EXPECT_EQ(fft.Count(), 0);
}

TEST(TWaveFFT, CountOnePassesTheSampleThroughBothKernels) {
    for (TFFTProcedure proc : {&SplitRadixForward, &Radix2Forward, &Radix2IFFT}) {
        TWaveFFT fft;
        fft.SetWindowType(wtRECTANGULAR);
        fft.SetFFTProcedure(proc);
        fft.SetSourceByArrayEx(std::vector<TComplex>{{-3.5, 2.25}});
        fft.Execute();
        EXPECT_EQ(fft.GetResultRaw(0).Re, -3.5);
        EXPECT_EQ(fft.GetResultRaw(0).Im, 2.25);
    }
}

TEST(TWaveFFT, SubstitutedProcedureIsCalledAndNullRestoresTheDefault) {
    TWaveFFT fft;
    fft.SetWindowType(wtRECTANGULAR);
    fft.SetFFTProcedure(&Radix2Forward);
    const auto x = RandomBlock(32, 4);
    fft.SetSourceByArray(std::span<const double>(x));
    fft.Execute();
    auto re = x;
    std::vector<double> im(32, 0.0);
    Radix2FFT(32, re.data(), im.data(), false);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(fft.GetResultReal(k), re[k]);
    fft.SetFFTProcedure(nullptr);
    EXPECT_EQ(fft.FFTProcedure(), &SplitRadixFFT);
}

using Reader = std::function<void(const TWaveFFT&, int)>;
struct ReaderCase {
    const char* name;
    Reader read;
    bool fullRange; // accepts 0 .. Count-1 instead of 0 .. Count div 2 - 1
};

std::string ReaderCaseName(const testing::TestParamInfo<ReaderCase>& info) {
    return info.param.name;
}

class ResultReaders : public testing::TestWithParam<ReaderCase> {};

TEST_P(ResultReaders, RefuseIndicesOutsideTheirRange) {
    const auto& c = GetParam();
    for (int count : {8, 7}) {
        TWaveFFT fft;
        fft.SetCount(count);
        const int last = c.fullRange ? count - 1 : count / 2 - 1;
        EXPECT_NO_THROW(c.read(fft, 0));
        EXPECT_NO_THROW(c.read(fft, last));
        ExpectError([&] { c.read(fft, last + 1); }, kOutOfRangeMessage);
        ExpectError([&] { c.read(fft, -1); }, kOutOfRangeMessage);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResultReaders,
    testing::Values(
        ReaderCase{"Real", [](const TWaveFFT& f, int i) { f.GetResultReal(i); }, false},
        ReaderCase{"Imaginary", [](const TWaveFFT& f, int i) { f.GetResultImaginary(i); }, false},
        ReaderCase{"Amplitude", [](const TWaveFFT& f, int i) { f.GetResultAmplitude(i); }, false},
        ReaderCase{"Power", [](const TWaveFFT& f, int i) { f.GetResultPower(i); }, false},
        ReaderCase{"Phase", [](const TWaveFFT& f, int i) { f.GetResultPhase(i); }, false},
        ReaderCase{"Spectram", [](const TWaveFFT& f, int i) { f.GetResultSpectram(i); }, false},
        ReaderCase{"Raw", [](const TWaveFFT& f, int i) { f.GetResultRaw(i); }, true},
        ReaderCase{"SetRaw",
                   [](const TWaveFFT& f, int i) {
                       TWaveFFT(f).SetResultRaw(i, {1, 2});
                   },
                   true},
        ReaderCase{"Source", [](const TWaveFFT& f, int i) { f.GetSourceData(i); }, true}),
    ReaderCaseName);

TEST(TWaveFFT, SpectrumElementAndArrayReader) {
    TWaveFFT fft;
    fft.SetWindowType(wtRECTANGULAR);
    fft.SetSamplingRate(800);
    const auto x = RandomBlock(8, 9);
    fft.SetSourceByArray(std::span<const double>(x));
    fft.Execute();
    const TFFTElement e = fft.GetResultSpectram(3);
    EXPECT_EQ(e.Frequency, 300.0);
    EXPECT_EQ(e.Amplitude, fft.GetResultAmplitude(3));
    EXPECT_EQ(e.Phase, fft.GetResultPhase(3));
    EXPECT_EQ(e.Raw.Re, fft.GetResultReal(3));
    EXPECT_EQ(e.Raw.Im, fft.GetResultImaginary(3));

    std::vector<TComplex> bins(5, TComplex{99, 99});
    fft.GetResultToArray(bins);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(bins[k].Re, fft.GetResultReal(k));
    EXPECT_EQ(bins[4].Re, 99.0); // only Count div 2 bins are written
    std::vector<TComplex> tooShort(3);
    ExpectError([&] { fft.GetResultToArray(tooShort); }, kOutOfRangeMessage);

    fft.SetResultRaw(6, {1.5, -2.5});
    EXPECT_EQ(fft.GetResultRaw(6).Re, 1.5);
    EXPECT_EQ(fft.GetResultRaw(6).Im, -2.5);
}

TEST(TWaveFFT, FrequencyAndIndexQueries) {
    TWaveFFT fft;
    fft.SetCount(8);
    fft.SetSamplingRate(800);
    EXPECT_EQ(fft.QueryFrequency(0), 0.0);
    EXPECT_EQ(fft.QueryFrequency(3), 300.0);
    EXPECT_EQ(fft.QueryFrequency(4), -400.0);
    EXPECT_EQ(fft.QueryFrequency(7), -100.0);
    EXPECT_EQ(fft.QueryIndex(300), 3.0f);
    EXPECT_EQ(fft.QueryIndex(150), 1.5f);
    EXPECT_TRUE(std::isnan(fft.QueryIndex(400)));
    EXPECT_TRUE(std::isnan(fft.QueryIndex(-1)));
}

TEST(TWaveFFT, StabilizeTakesTheRmsWithThePreviousResult) {
    TWaveFFT fft;
    fft.SetWindowType(wtRECTANGULAR);
    fft.SetStabilize(true);
    const auto x = RandomBlock(16, 13);
    fft.SetSourceByArray(std::span<const double>(x));
    auto re = x;
    std::vector<double> im(16, 0.0);
    SplitRadixFFT(16, re.data(), im.data());

    fft.Execute();
    for (int k = 0; k < 8; ++k) {
        EXPECT_DOUBLE_EQ(fft.GetResultReal(k), std::fabs(re[k]) / std::sqrt(2.0));
        EXPECT_DOUBLE_EQ(fft.GetResultImaginary(k), std::fabs(im[k]) / std::sqrt(2.0));
    }
    for (int k = 8; k < 16; ++k)
        EXPECT_EQ(fft.GetResultRaw(k).Re, re[k]); // upper half as transformed
    fft.Execute();
    for (int k = 0; k < 8; ++k) {
        const double v = re[k];
        EXPECT_DOUBLE_EQ(fft.GetResultReal(k), std::sqrt((v * v + v * v / 2) / 2));
    }
    // Setting the same count keeps the history; a new count starts it afresh at zero.
    fft.SetCount(16);
    fft.Execute();
    const double third = fft.GetResultReal(1);
    const double second = std::sqrt((re[1] * re[1] + re[1] * re[1] / 2) / 2);
    EXPECT_DOUBLE_EQ(third, std::sqrt(re[1] * re[1] + second * second) / std::sqrt(2.0));
}

// ---------------------------------------------------------------------------------------
// Windows

TEST(Windows, CountOneGivesNanZeroOrOne) {
    struct Case {
        TWindowType type;
        double expected; // NaN means NaN
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {wtHANNING, nan},  {wtHAMMING, nan},     {wtBLACKMAN, nan}, {wtBLACKMANHARRIS, nan},
        {wtSINE, nan},     {wtCUBICSINE, nan},   {wtFLATTOP, nan},  {wtKAISER, nan},
        {wtGAUSSIAN, 0.0}, {wtRECTANGULAR, 1.0}, {wtLANCZOS, 1.0},  {wtLOGGEDSQUARESINE, 1.0},
    };
    TWaveFFT fft;
    for (const Case& c : cases) {
        double w = -7;
        fft.GetWeightWindow(1, std::span<double>(&w, 1), c.type);
        if (std::isnan(c.expected))
            EXPECT_TRUE(std::isnan(w)) << "window " << c.type << " gave " << w;
        else
            EXPECT_EQ(w, c.expected) << "window " << c.type;
    }
}

TEST(Windows, PeaksEndsAndSymmetry) {
    struct Case {
        TWindowType type;
        int n;
        int peakIndex;
        double peak;
        double first; // w(n, 0)
    };
    const double i0Beta = BesselI0(26.703537555513243);
    const Case cases[] = {
        {wtHANNING, 9, 4, 1.0, 0.0},
        {wtHAMMING, 9, 4, 1.0, 0.53836 - 0.46164},
        {wtBLACKMAN, 9, 4, 1.0, 0.42 - (0.5 - 0.08)},
        {wtBLACKMANHARRIS, 9, 4, 0.423 + 0.498 + 0.0792, 0.423 - (0.498 - 0.0792)},
        {wtGAUSSIAN, 8, 4, 1.0, std::exp(-32.0 * 4.0 * 4.0 / 49.0)},
        {wtRECTANGULAR, 9, 4, 1.0, 1.0},
        {wtSINE, 9, 4, 1.0, 0.0},
        {wtCUBICSINE, 9, 4, 1.0, 0.0},
        {wtFLATTOP, 9, 4, 0.2810639 + 0.5208972 + 0.1980399, 0.2810639 - (0.5208972 - 0.1980399)},
        {wtKAISER, 9, 4, 1.0, 1.0 / i0Beta},
        {wtLANCZOS, 9, 4, 1.0, std::sin(-std::numbers::pi) / -std::numbers::pi},
        {wtLOGGEDSQUARESINE, 9, 4, 1.0, std::log2(1 + std::pow(std::sin(-std::numbers::pi), 2))},
    };
    TWaveFFT fft;
    for (const Case& c : cases) {
        std::vector<double> w(c.n);
        fft.GetWeightWindow(0, w, c.type);
        EXPECT_NEAR(w[c.peakIndex], c.peak, 1e-12) << "window " << c.type;
        EXPECT_NEAR(w[0], c.first, 1e-12) << "window " << c.type;
        for (int i = 0; i < c.n; ++i)
            EXPECT_LE(w[i], c.peak + 1e-12) << "window " << c.type << " index " << i;
        // Odd lengths are symmetric about the peak.
        if (c.n % 2 == 1) {
            for (int i = 0; i < c.n; ++i)
                EXPECT_NEAR(w[i], w[c.n - 1 - i], 1e-12) << "window " << c.type;
        }
    }
}

TEST(Windows, InteriorValuesFollowTheirFormulas) {
    TWaveFFT fft;
    std::vector<double> w(5);
    fft.GetWeightWindow(0, w, wtHANNING);
    EXPECT_NEAR(w[1], 0.5, 1e-15); // 0.5 - 0.5·cos(π/2)
    fft.GetWeightWindow(0, w, wtSINE);
    EXPECT_NEAR(w[1], std::sin(std::numbers::pi / 4), 1e-15);
    fft.GetWeightWindow(0, w, wtCUBICSINE);
    EXPECT_NEAR(w[1], std::pow(std::sin(std::numbers::pi / 4), 3), 1e-15);
    fft.GetWeightWindow(0, w, wtKAISER);
    EXPECT_NEAR(w[1], BesselI0(26.703537555513243 * std::sqrt(0.75)) / BesselI0(26.703537555513243),
                1e-15);
    fft.GetWeightWindow(0, w, wtLANCZOS);
    EXPECT_NEAR(w[3], std::sin(std::numbers::pi / 2) / (std::numbers::pi / 2), 1e-15);
    fft.GetWeightWindow(0, w, wtLOGGEDSQUARESINE);
    EXPECT_NEAR(w[3], 1.0, 1e-15); // log2(1 + sin²(π/2))
}

TEST(Windows, ExecuteUsesTheCurrentWindowEvenWhenCountOrTypeChanges) {
    TWaveFFT fft;
    const std::vector<double> ones(8, 1.0);
    for (TWindowType type : {wtHANNING, wtKAISER, wtHANNING}) {
        for (int n : {8, 16, 8}) {
            fft.SetWindowType(type);
            fft.SetSourceByArray(std::span<const double>(ones));
            fft.SetCount(n);
            fft.SetFFTProcedure([](int, double*, double*) {}); // leave the weighted block
            fft.Execute();
            std::vector<double> w(n);
            fft.GetWeightWindow(0, w, type);
            for (int i = 0; i < 8; ++i)
                ASSERT_EQ(fft.GetResultRaw(i).Re, w[i]) << "type " << type << " n " << n;
        }
    }
}

TEST(Windows, CustomWeights) {
    TWaveFFT fft;
    fft.SetCount(4);
    const std::vector<double> weights = {0.5, 2.0, -1.0, 4.0, 100.0};
    fft.SetCustomWeightWindow(weights);
    std::vector<double> w(4);
    fft.GetWeightWindow(0, w, wtCUSTOM);
    EXPECT_EQ(w, std::vector<double>(weights.begin(), weights.begin() + 4));
    std::vector<double> tooLong(5);
    ExpectError([&] { fft.GetWeightWindow(0, tooLong, wtCUSTOM); }, kOutOfRangeMessage);
    const std::vector<double> tooFew = {1, 2, 3};
    ExpectError([&] { fft.SetCustomWeightWindow(tooFew); }, kOutOfRangeMessage);

    fft.SetWindowType(wtCUSTOM);
    fft.SetFFTProcedure([](int, double*, double*) {});
    const std::vector<double> x = {2, 2, 2, 2};
    fft.SetSourceByArray(std::span<const double>(x));
    fft.Execute();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(fft.GetResultRaw(i).Re, 2 * weights[i]);
}

} // namespace
