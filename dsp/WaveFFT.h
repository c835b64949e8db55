// Forward FFT analyser (TWaveFFT), inverse FFT synthesiser (TWaveIFFT) and their kernels.
//
// Units: samples are plain doubles (no scaling on input); the forward transform is
// X[k] = sum x[t]·e^(-2πi·kt/N), unscaled; amplitudes are moduli, phases radians in [-π, π];
// frequencies in Hz. TWaveIFFT takes M half-spectrum bins and returns 2M samples scaled by
// 1/(2M), so an unchanged half spectrum gives the analysed block back.
//
// Threads: the components have no locks; one caller at a time (in the program, the audio
// thread). The kernels may run on several threads at once: their tables, built once per
// size, are shared under a lock taken only while a size is built.
//
// Errors: CorvanelError with a Japanese message (see the k*Message constants).
#pragma once

#include "dsp/CorvanelError.h"

#include <cstdint>
#include <span>
#include <vector>

namespace corvanel {

inline constexpr const char* kNotPowerOfRadixMessage = "サンプル数が基数の累乗ではありません";
inline constexpr const char* kOutOfRangeMessage = "配列の範囲を越えました";
// A negative Count is refused with this message, state unchanged.
inline constexpr const char* kNegativeCountMessage = "サンプル数が負の値です";
// The built-in kernels refuse a length that is not a power of two (their butterflies would
// otherwise index past the arrays).
inline constexpr const char* kNotPowerOfTwoMessage = "サンプル数が2の累乗ではありません";

inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kFourPi = 12.566370614359172;

struct TComplex {
    double Re = 0.0;
    double Im = 0.0;
};

struct TFFTElement {
    double Frequency = 0.0;
    double Amplitude = 0.0;
    double Phase = 0.0;
    TComplex Raw;
};

// Unscoped so that both wtHANNING and TWindowType::wtHANNING work.
enum TWindowType : int {
    wtHANNING = 0,
    wtHAMMING,
    wtBLACKMAN,
    wtBLACKMANHARRIS,
    wtGAUSSIAN,
    wtRECTANGULAR,
    wtSINE,
    wtCUBICSINE,
    wtFLATTOP,
    wtKAISER,
    wtLANCZOS,
    wtLOGGEDSQUARESINE,
    wtCUSTOM,
};

// Transforms the first n points of ar (real) and ai (imaginary) in place.
using TFFTProcedure = void (*)(int n, double* ar, double* ai);

// Kernels. n must be a power of two (n = 1 leaves the data unchanged; n <= 0 does nothing);
// another n raises kNotPowerOfTwoMessage before anything is touched.
void SplitRadixFFT(int n, double* ar, double* ai);
void Radix2FFT(int n, double* ar, double* ai, bool Inverse);
void Radix2IFFT(int n, double* ar, double* ai);
// Bit-reversal permutation of the first n points (any n >= 0 stays within the arrays).
void BitReverse(int n, double* ar, double* ai);

double BesselI0(double x);
// Folds an angle into [-π, π]: sgn(sin x)·arccos(cos x).
double WrapPhase(double x);
// True when Value <= 0, Radix <= 1, or Value is Radix^k for an integer k >= 0.
bool IsPowerOfRadix(int Value, int Radix);

class TWaveFFT {
  public:
    TWaveFFT();

    int Count() const { return FCount; }
    void SetCount(int Value);
    double SamplingRate() const { return FSamplingRate; }
    void SetSamplingRate(double Value) { FSamplingRate = Value; }
    bool Stabilize() const { return FStabilize; }
    void SetStabilize(bool Value) { FStabilize = Value; }
    TWindowType WindowType() const { return FWindowType; }
    void SetWindowType(TWindowType Value) { FWindowType = Value; }
    int Radix() const { return FRadix; }
    void SetRadix(int Value) { FRadix = Value; }
    TFFTProcedure FFTProcedure() const { return FFFTProc; }
    // nullptr restores the default, SplitRadixFFT.
    void SetFFTProcedure(TFFTProcedure Value);

    // Each sets Count to the sequence's length first when it differs.
    void SetSourceByArray(std::span<const std::uint8_t> Data); // Data[i] - 128
    void SetSourceByArray(std::span<const std::int16_t> Data);
    void SetSourceByArray(std::span<const std::int32_t> Data);
    void SetSourceByArray(std::span<const double> Data);
    void SetSourceByArrayEx(std::span<const TComplex> Data);

    // Real part of the input; index in 0 .. Count-1.
    double GetSourceData(int index) const;
    void SetSourceData(int index, double Data);

    // Copies the first Count weights; Window must hold at least Count values.
    void SetCustomWeightWindow(std::span<const double> Window);
    // Fills WinBuffer with the weights of WinType for its own length; ACount is not used.
    void GetWeightWindow(int ACount, std::span<double> WinBuffer, TWindowType WinType) const;

    void Execute();

    // Index 0 .. Count-1.
    TComplex GetResultRaw(int index) const;
    void SetResultRaw(int index, TComplex Data);
    // Index 0 .. Count div 2 - 1.
    double GetResultReal(int index) const;
    double GetResultImaginary(int index) const;
    double GetResultAmplitude(int index) const;
    double GetResultPower(int index) const;
    double GetResultPhase(int index) const;
    TFFTElement GetResultSpectram(int index) const;
    // Bins 0 .. Count div 2 - 1; Data must hold at least Count div 2 elements.
    void GetResultToArray(std::span<TComplex> Data) const;

    double QueryFrequency(int Index) const;
    float QueryIndex(double Freq) const;

    // Indexed properties under their own names.
    double Source(int index) const { return GetSourceData(index); }
    void SetSource(int index, double Data) { SetSourceData(index, Data); }
    TComplex ResultRaw(int index) const { return GetResultRaw(index); }
    double ResultReal(int index) const { return GetResultReal(index); }
    double ResultImaginary(int index) const { return GetResultImaginary(index); }
    double ResultAmplitude(int index) const { return GetResultAmplitude(index); }
    double ResultPower(int index) const { return GetResultPower(index); }
    double ResultPhase(int index) const { return GetResultPhase(index); }
    TFFTElement ResultSpectram(int index) const { return GetResultSpectram(index); }

  private:
    void CheckHalfIndex(int index) const;
    void CheckFullIndex(int index) const;
    void CountFromLength(std::size_t Length);
    const double* WindowWeights();

    int FCount = 0;
    int FRadix = 0;
    std::vector<double> FSourceRe, FSourceIm;
    std::vector<double> FWindow;
    std::vector<double> FResultRe, FResultIm;
    std::vector<double> FBeforeResultRe, FBeforeResultIm;
    double FSamplingRate = 44100.0;
    bool FStabilize = false;
    TWindowType FWindowType = wtHANNING;
    TFFTProcedure FFFTProc = SplitRadixFFT;

    // Weights depend only on the window type and Count, so they are kept between frames.
    std::vector<double> FWeightCache;
    TWindowType FWeightCacheType = wtCUSTOM;
    int FWeightCacheCount = -1;
};

class TWaveIFFT {
  public:
    TWaveIFFT();

    // M, the number of half-spectrum bins; the output has 2M samples.
    int Count() const { return FCount; }
    void SetCount(int Value);
    int Radix() const { return FRadix; }
    void SetRadix(int Value) { FRadix = Value; }
    bool MutingCoef() const { return FMutingCoef; }
    void SetMutingCoef(bool Value) { FMutingCoef = Value; }
    TFFTProcedure IFFTProcedure() const { return FIFFTProc; }
    // nullptr restores the default, Radix2IFFT.
    void SetIFFTProcedure(TFFTProcedure Value);

    // Each loads bins 0 .. M-1; the sequences must hold at least M values.
    void SetSourceByArray(std::span<const TComplex> Data);
    void SetSourceComplex(std::span<const double> Real, std::span<const double> Imaginary);
    void SetSourcePolar(std::span<const double> Amplitude, std::span<const double> Phase);
    // Index 0 .. M-1.
    void SetSourceData(int index, TComplex Data);
    TComplex GetSourceData(int index) const;

    void Execute();

    // Index 0 .. 2M-1. Integer forms round to nearest, ties to even, then clamp.
    double GetResultDouble(int index) const;
    std::int32_t GetResultInteger(int index) const;
    std::int16_t GetResultSmallInt(int index) const;
    std::uint8_t GetResultByte(int index) const; // value + 128, clamped to 0 .. 255
    // Data must hold at least 2M elements; elements 0 .. 2M-1 are written.
    void GetResultToArray(std::span<double> Data) const;
    void GetResultToArray(std::span<std::int32_t> Data) const;
    void GetResultToArray(std::span<std::int16_t> Data) const;
    void GetResultToArray(std::span<std::uint8_t> Data) const;

    // Indexed properties under their own names.
    TComplex Source(int index) const { return GetSourceData(index); }
    void SetSource(int index, TComplex Data) { SetSourceData(index, Data); }
    double ResultRaw(int index) const { return GetResultDouble(index); }
    std::int32_t Result32(int index) const { return GetResultInteger(index); }
    std::int16_t Result16(int index) const { return GetResultSmallInt(index); }
    std::uint8_t Result8(int index) const { return GetResultByte(index); }

  private:
    void CheckSourceIndex(int index) const;
    void CheckResultIndex(int index) const;
    void CheckOutputLength(std::size_t Length) const;

    int FCount = 0;
    std::vector<double> FSourceRe, FSourceIm;
    std::vector<double> FResultRe, FResultIm;
    TFFTProcedure FIFFTProc = Radix2IFFT;
    bool FMutingCoef = false;
    int FRadix = 2;
};

} // namespace corvanel
