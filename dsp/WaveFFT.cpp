#include "dsp/WaveFFT.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <math.h>

namespace corvanel {
namespace {

// w(N, i). Integers and their products become doubles before the trigonometric step, in the
// order the window formulas are written, so that the weights match them bit for bit.
double WindowWeight(TWindowType type, int N, int i) {
    const int M = N - 1;
    const int h = N / 2;
    const double di = i;
    const double dM = M;
    switch (type) {
    case wtHANNING:
        return 0.5 - 0.5 * std::cos((di * kTwoPi) / dM);
    case wtHAMMING:
        return 0.53836 - 0.46164 * std::cos((di * kTwoPi) / dM);
    case wtBLACKMAN:
        return 0.42 - (0.5 * std::cos((di * kTwoPi) / dM) - 0.08 * std::cos((di * kFourPi) / dM));
    case wtBLACKMANHARRIS:
        return 0.423 -
               (0.498 * std::cos((di * kTwoPi) / dM) - 0.0792 * std::cos((di * kFourPi) / dM));
    case wtGAUSSIAN: {
        const double x = di - dM / 2 - 0.5;
        return std::exp(-32 * (x * x) / (dM * dM));
    }
    case wtRECTANGULAR:
        return 1.0;
    case wtSINE:
        return std::sin((di * kTwoPi) / static_cast<double>(2 * M));
    case wtCUBICSINE: {
        const double s = std::sin((di * kTwoPi) / static_cast<double>(2 * M));
        return s * s * s;
    }
    case wtFLATTOP:
        return 0.2810639 - (0.5208972 * std::cos((di * kTwoPi) / dM) -
                            0.1980399 * std::cos((di * kFourPi) / dM));
    case wtKAISER: {
        const double beta = 26.703537555513243;
        const double e = static_cast<double>(2 * (i - h)) / dM;
        const double v = 1 - e * e;
        // A NaN must come through (Count 1), as "max" with a NaN second argument lets it.
        const double clamped = 0 > v ? 0.0 : v;
        return BesselI0(beta * std::sqrt(clamped)) / BesselI0(beta);
    }
    case wtLANCZOS: {
        if (i == h)
            return 1.0;
        const double y = (static_cast<double>(i - h) * kTwoPi) / dM;
        return std::sin(y) / y;
    }
    case wtLOGGEDSQUARESINE: {
        if (i == h)
            return 1.0;
        const double s = std::sin((static_cast<double>(i - h) * kTwoPi) / dM);
        return std::log2(1 + s * s);
    }
    case wtCUSTOM:
        break;
    }
    return 1.0;
}

// glibc's sincos shares its code with sin and cos (the same results) at nearly half the cost.
inline void CosSin(double x, double& c, double& s) {
#if defined(__GLIBC__)
    ::sincos(x, &s, &c);
#else
    c = std::cos(x);
    s = std::sin(x);
#endif
}

template <typename T> void ResizeIfDifferent(std::vector<T>& v, std::size_t size) {
    if (v.size() != size)
        v.resize(size, T{});
}

int CheckedCount(std::size_t length) {
    if (length > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw CorvanelError(kOutOfRangeMessage);
    return static_cast<int>(length);
}

// Round to nearest, ties to even, into 64 bits; no 64-bit value means the lowest one.
std::int64_t RoundTo64(double v) {
    const double r = std::nearbyint(v);
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(r);
}

template <typename T> T RoundClamp(double v) {
    const std::int64_t r = RoundTo64(v);
    const std::int64_t lo = std::numeric_limits<T>::min();
    const std::int64_t hi = std::numeric_limits<T>::max();
    return static_cast<T>(std::clamp(r, lo, hi));
}

} // namespace

// ---------------------------------------------------------------------------------------
// TWaveFFT

TWaveFFT::TWaveFFT() {
    SetCount(2);
}

void TWaveFFT::SetCount(int Value) {
    if (Value < 0)
        throw CorvanelError(kNegativeCountMessage);
    if (!IsPowerOfRadix(Value, FRadix))
        throw CorvanelError(kNotPowerOfRadixMessage);
    if (FCount == Value)
        return;
    const auto size = static_cast<std::size_t>(Value);
    // Build the new arrays before changing anything, so a failed allocation leaves all as it was.
    auto sourceRe = FSourceRe, sourceIm = FSourceIm, window = FWindow, resultRe = FResultRe,
         resultIm = FResultIm, beforeRe = FBeforeResultRe, beforeIm = FBeforeResultIm;
    ResizeIfDifferent(sourceRe, size);
    ResizeIfDifferent(sourceIm, size);
    ResizeIfDifferent(window, size);
    ResizeIfDifferent(resultRe, size);
    ResizeIfDifferent(resultIm, size);
    ResizeIfDifferent(beforeRe, size);
    ResizeIfDifferent(beforeIm, size);
    FCount = Value;
    FSourceRe = std::move(sourceRe);
    FSourceIm = std::move(sourceIm);
    FWindow = std::move(window);
    FResultRe = std::move(resultRe);
    FResultIm = std::move(resultIm);
    FBeforeResultRe = std::move(beforeRe);
    FBeforeResultIm = std::move(beforeIm);
}

void TWaveFFT::SetFFTProcedure(TFFTProcedure Value) {
    FFFTProc = Value != nullptr ? Value : SplitRadixFFT;
}

void TWaveFFT::CountFromLength(std::size_t Length) {
    const int count = CheckedCount(Length);
    if (count != FCount)
        SetCount(count);
}

void TWaveFFT::SetSourceByArray(std::span<const std::uint8_t> Data) {
    CountFromLength(Data.size());
    for (int i = 0; i < FCount; ++i) {
        FSourceRe[i] = static_cast<double>(Data[i]) - 128;
        FSourceIm[i] = 0.0;
    }
}

void TWaveFFT::SetSourceByArray(std::span<const std::int16_t> Data) {
    CountFromLength(Data.size());
    for (int i = 0; i < FCount; ++i) {
        FSourceRe[i] = Data[i];
        FSourceIm[i] = 0.0;
    }
}

void TWaveFFT::SetSourceByArray(std::span<const std::int32_t> Data) {
    CountFromLength(Data.size());
    for (int i = 0; i < FCount; ++i) {
        FSourceRe[i] = Data[i];
        FSourceIm[i] = 0.0;
    }
}

void TWaveFFT::SetSourceByArray(std::span<const double> Data) {
    CountFromLength(Data.size());
    std::copy_n(Data.begin(), FCount, FSourceRe.begin());
    std::fill(FSourceIm.begin(), FSourceIm.end(), 0.0);
}

void TWaveFFT::SetSourceByArrayEx(std::span<const TComplex> Data) {
    CountFromLength(Data.size());
    for (int i = 0; i < FCount; ++i) {
        FSourceRe[i] = Data[i].Re;
        FSourceIm[i] = Data[i].Im;
    }
}

double TWaveFFT::GetSourceData(int index) const {
    CheckFullIndex(index);
    return FSourceRe[index];
}

void TWaveFFT::SetSourceData(int index, double Data) {
    CheckFullIndex(index);
    FSourceRe[index] = Data;
}

void TWaveFFT::SetCustomWeightWindow(std::span<const double> Window) {
    if (Window.size() < static_cast<std::size_t>(FCount))
        throw CorvanelError(kOutOfRangeMessage);
    std::copy_n(Window.begin(), FCount, FWindow.begin());
}

void TWaveFFT::GetWeightWindow([[maybe_unused]] int ACount, std::span<double> WinBuffer,
                               TWindowType WinType) const {
    const int length = CheckedCount(WinBuffer.size());
    if (WinType == wtCUSTOM) {
        if (length > FCount)
            throw CorvanelError(kOutOfRangeMessage);
        std::copy_n(FWindow.begin(), length, WinBuffer.begin());
        return;
    }
    for (int i = 0; i < length; ++i)
        WinBuffer[i] = WindowWeight(WinType, length, i);
}

const double* TWaveFFT::WindowWeights() {
    if (FWindowType == wtCUSTOM)
        return FWindow.data();
    if (FWeightCacheType != FWindowType || FWeightCacheCount != FCount) {
        FWeightCache.resize(static_cast<std::size_t>(FCount));
        for (int i = 0; i < FCount; ++i)
            FWeightCache[i] = WindowWeight(FWindowType, FCount, i);
        FWeightCacheType = FWindowType;
        FWeightCacheCount = FCount;
    }
    return FWeightCache.data();
}

void TWaveFFT::Execute() {
    if (FWindowType == wtRECTANGULAR) {
        // Weight 1.0 changes no value.
        std::copy(FSourceRe.begin(), FSourceRe.end(), FResultRe.begin());
    } else {
        const double* w = WindowWeights();
        for (int i = 0; i < FCount; ++i)
            FResultRe[i] = FSourceRe[i] * w[i];
    }
    std::copy(FSourceIm.begin(), FSourceIm.end(), FResultIm.begin());

    FFFTProc(FCount, FResultRe.data(), FResultIm.data());

    if (FStabilize) {
        const double root2 = std::sqrt(2.0);
        for (int k = 0; k < FCount / 2; ++k) {
            const double a = FResultRe[k], b = FBeforeResultRe[k];
            const double c = FResultIm[k], d = FBeforeResultIm[k];
            FResultRe[k] = std::sqrt(a * a + b * b) / root2;
            FResultIm[k] = std::sqrt(c * c + d * d) / root2;
            FBeforeResultRe[k] = FResultRe[k];
            FBeforeResultIm[k] = FResultIm[k];
        }
    }
}

void TWaveFFT::CheckHalfIndex(int index) const {
    if (index < 0 || index > FCount / 2 - 1)
        throw CorvanelError(kOutOfRangeMessage);
}

void TWaveFFT::CheckFullIndex(int index) const {
    if (index < 0 || index > FCount - 1)
        throw CorvanelError(kOutOfRangeMessage);
}

TComplex TWaveFFT::GetResultRaw(int index) const {
    CheckFullIndex(index);
    return {FResultRe[index], FResultIm[index]};
}

void TWaveFFT::SetResultRaw(int index, TComplex Data) {
    CheckFullIndex(index);
    FResultRe[index] = Data.Re;
    FResultIm[index] = Data.Im;
}

double TWaveFFT::GetResultReal(int index) const {
    CheckHalfIndex(index);
    return FResultRe[index];
}

double TWaveFFT::GetResultImaginary(int index) const {
    CheckHalfIndex(index);
    return FResultIm[index];
}

double TWaveFFT::GetResultAmplitude(int index) const {
    CheckHalfIndex(index);
    const double re = FResultRe[index], im = FResultIm[index];
    // Where the squares can neither overflow nor lose bits to underflow, the plain root is
    // hypot within rounding at a fraction of its cost; elsewhere hypot itself.
    const double s = re * re + im * im;
    if (s >= 0x1p-1000 && s <= 0x1p+1000)
        return std::sqrt(s);
    return std::hypot(re, im);
}

double TWaveFFT::GetResultPower(int index) const {
    const double a = GetResultAmplitude(index);
    return a * a;
}

double TWaveFFT::GetResultPhase(int index) const {
    CheckHalfIndex(index);
    return std::atan2(FResultIm[index], FResultRe[index]);
}

TFFTElement TWaveFFT::GetResultSpectram(int index) const {
    CheckHalfIndex(index);
    TFFTElement e;
    e.Frequency = QueryFrequency(index);
    e.Amplitude = GetResultAmplitude(index);
    e.Phase = GetResultPhase(index);
    e.Raw = {FResultRe[index], FResultIm[index]};
    return e;
}

void TWaveFFT::GetResultToArray(std::span<TComplex> Data) const {
    const int half = FCount / 2;
    if (Data.size() < static_cast<std::size_t>(half))
        throw CorvanelError(kOutOfRangeMessage);
    for (int k = 0; k < half; ++k)
        Data[k] = {FResultRe[k], FResultIm[k]};
}

double TWaveFFT::QueryFrequency(int Index) const {
    if (Index <= FCount / 2 - 1)
        return Index * FSamplingRate / FCount;
    return (Index - FCount) * FSamplingRate / FCount;
}

float TWaveFFT::QueryIndex(double Freq) const {
    const float v = static_cast<float>(FCount * Freq / FSamplingRate);
    if (v > FCount / 2 - 1 || v < 0)
        return std::numeric_limits<float>::quiet_NaN();
    return v;
}

// ---------------------------------------------------------------------------------------
// TWaveIFFT

TWaveIFFT::TWaveIFFT() {
    SetCount(2);
}

void TWaveIFFT::SetCount(int Value) {
    if (Value < 0)
        throw CorvanelError(kNegativeCountMessage);
    if (!IsPowerOfRadix(Value, FRadix))
        throw CorvanelError(kNotPowerOfRadixMessage);
    // The output length 2M must stay a 32-bit count.
    if (Value > std::numeric_limits<int>::max() / 2)
        throw CorvanelError(kOutOfRangeMessage);
    if (Value == FCount)
        return;
    const auto size = static_cast<std::size_t>(Value);
    auto sourceRe = FSourceRe, resultRe = FResultRe, sourceIm = FSourceIm, resultIm = FResultIm;
    sourceRe.resize(size, 0.0);
    resultRe.resize(2 * size, 0.0);
    sourceIm.resize(size, 0.0);
    resultIm.resize(2 * size, 0.0);
    FCount = Value;
    FSourceRe = std::move(sourceRe);
    FResultRe = std::move(resultRe);
    FSourceIm = std::move(sourceIm);
    FResultIm = std::move(resultIm);
}

void TWaveIFFT::SetIFFTProcedure(TFFTProcedure Value) {
    FIFFTProc = Value != nullptr ? Value : Radix2IFFT;
}

void TWaveIFFT::SetSourceByArray(std::span<const TComplex> Data) {
    if (Data.size() < static_cast<std::size_t>(FCount))
        throw CorvanelError(kOutOfRangeMessage);
    for (int i = 0; i < FCount; ++i) {
        FSourceRe[i] = Data[i].Re;
        FSourceIm[i] = Data[i].Im;
    }
}

void TWaveIFFT::SetSourceComplex(std::span<const double> Real, std::span<const double> Imaginary) {
    const auto m = static_cast<std::size_t>(FCount);
    if (Real.size() < m || Imaginary.size() < m)
        throw CorvanelError(kOutOfRangeMessage);
    std::copy_n(Real.begin(), m, FSourceRe.begin());
    std::copy_n(Imaginary.begin(), m, FSourceIm.begin());
}

void TWaveIFFT::SetSourcePolar(std::span<const double> Amplitude, std::span<const double> Phase) {
    const auto m = static_cast<std::size_t>(FCount);
    if (Amplitude.size() < m || Phase.size() < m)
        throw CorvanelError(kOutOfRangeMessage);
    // Written straight into the source: the same values as converting into temporaries first.
    for (std::size_t i = 0; i < m; ++i) {
        double c, s;
        CosSin(Phase[i], c, s);
        FSourceRe[i] = Amplitude[i] * c;
        FSourceIm[i] = Amplitude[i] * s;
    }
}

void TWaveIFFT::CheckSourceIndex(int index) const {
    if (index < 0 || index > FCount - 1)
        throw CorvanelError(kOutOfRangeMessage);
}

void TWaveIFFT::CheckResultIndex(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= FResultRe.size())
        throw CorvanelError(kOutOfRangeMessage);
}

void TWaveIFFT::CheckOutputLength(std::size_t Length) const {
    if (Length < FResultRe.size())
        throw CorvanelError(kOutOfRangeMessage);
}

void TWaveIFFT::SetSourceData(int index, TComplex Data) {
    CheckSourceIndex(index);
    FSourceRe[index] = Data.Re;
    FSourceIm[index] = Data.Im;
}

TComplex TWaveIFFT::GetSourceData(int index) const {
    CheckSourceIndex(index);
    return {FSourceRe[index], FSourceIm[index]};
}

void TWaveIFFT::Execute() {
    const int M = FCount;
    const int n = 2 * M;
    if (M == 0)
        return;
    std::copy(FSourceRe.begin(), FSourceRe.end(), FResultRe.begin());
    std::copy(FSourceIm.begin(), FSourceIm.end(), FResultIm.begin());
    for (int i = 0; i <= M - 2; ++i) {
        FResultRe[n - 1 - i] = FSourceRe[i + 1];
        FResultIm[n - 1 - i] = 0.0 - FSourceIm[i + 1];
    }
    // No source bin reaches half the sampling rate: the output has no component there.
    FResultRe[M] = 0.0;
    FResultIm[M] = 0.0;

    FIFFTProc(n, FResultRe.data(), FResultIm.data());

    if (FMutingCoef) {
        const double divisor = n;
        for (double& v : FResultRe)
            v /= divisor;
    }
}

double TWaveIFFT::GetResultDouble(int index) const {
    CheckResultIndex(index);
    return FResultRe[index];
}

std::int32_t TWaveIFFT::GetResultInteger(int index) const {
    CheckResultIndex(index);
    return RoundClamp<std::int32_t>(FResultRe[index]);
}

std::int16_t TWaveIFFT::GetResultSmallInt(int index) const {
    CheckResultIndex(index);
    return RoundClamp<std::int16_t>(FResultRe[index]);
}

std::uint8_t TWaveIFFT::GetResultByte(int index) const {
    CheckResultIndex(index);
    return RoundClamp<std::uint8_t>(FResultRe[index] + 128.0);
}

void TWaveIFFT::GetResultToArray(std::span<double> Data) const {
    CheckOutputLength(Data.size());
    std::copy(FResultRe.begin(), FResultRe.end(), Data.begin());
}

void TWaveIFFT::GetResultToArray(std::span<std::int32_t> Data) const {
    CheckOutputLength(Data.size());
    for (std::size_t t = 0; t < FResultRe.size(); ++t)
        Data[t] = RoundClamp<std::int32_t>(FResultRe[t]);
}

void TWaveIFFT::GetResultToArray(std::span<std::int16_t> Data) const {
    CheckOutputLength(Data.size());
    for (std::size_t t = 0; t < FResultRe.size(); ++t)
        Data[t] = RoundClamp<std::int16_t>(FResultRe[t]);
}

void TWaveIFFT::GetResultToArray(std::span<std::uint8_t> Data) const {
    CheckOutputLength(Data.size());
    for (std::size_t t = 0; t < FResultRe.size(); ++t)
        Data[t] = RoundClamp<std::uint8_t>(FResultRe[t] + 128.0);
}

} // namespace corvanel
