// PackedFFT: the processor's own complex transform of one power-of-two length, for a stereo
// frame packed as left + i·right. The forward transform leaves the spectrum in bit-reversed
// order ("slots") and the inverse takes it back from there, so neither pays for a
// permutation; the per-bin work in between walks the slots with SlotBin.
//
// Units: X[k] = sum x[t]·e^(-2πi·kt/N) forward, x[t] = sum X[k]·e^(+2πi·kt/N) inverse, both
// unscaled (a round trip multiplies by N). Real and imaginary parts in separate arrays.
//
// The arithmetic is the same operation for operation on every instruction set (no fused
// multiply-add), so each SIMD path gives the baseline's bits.
//
// Threads: the tables are built by the constructor (allocation happens there only); the
// transforms only read them, so one instance may serve several threads.
#pragma once

#include <cstdint>
#include <vector>

namespace corvanel {

// Avx512 runs the same 4-lane loops as Avx2 in AVX-512's encoding: its 32 registers spare the
// transform's spills, and wider vectors measured slower (the decision pass by far).
enum class SimdPath { Baseline, Avx2, Avx512 };

// The fastest path this processor runs.
SimdPath BestSimdPath();
// False for a path the processor cannot run.
bool SimdPathAvailable(SimdPath path);

class PackedFFT {
  public:
    // n: a power of two >= 1. path: one SimdPathAvailable allows.
    explicit PackedFFT(int n, SimdPath path = BestSimdPath());

    int Size() const { return FSize; }
    SimdPath Path() const { return FPath; }

    // Natural order in, slot order out.
    void Forward(double* re, double* im) const;
    // Slot order in, natural order out.
    void Inverse(double* re, double* im) const;

    // The frequency bin held by slot s (the bit reversal of s).
    std::uint32_t SlotBin(int s) const { return FSlotBin[static_cast<std::size_t>(s)]; }

    struct Stage {
        int span;             // points per butterfly block
        int radix;            // 2 or 4
        std::size_t twiddles; // offset of the stage's cosines and sines in FTwiddles
    };

  private:
    int FSize;
    SimdPath FPath;
    std::vector<Stage> FStages; // largest span first
    std::vector<double> FTwiddles;
    std::vector<std::uint32_t> FSlotBin;
};

// The real and imaginary parts of one frame of n points in one allocation, laid out for the
// transform: arrays a multiple of 4 KiB apart would put their loads in the same cache sets.
class PackedSpectrum {
  public:
    explicit PackedSpectrum(int n)
        : FData(2 * static_cast<std::size_t>(n) + kGap), FIm(FData.data() + n + kGap) {}
    PackedSpectrum(const PackedSpectrum&) = delete;
    PackedSpectrum& operator=(const PackedSpectrum&) = delete;

    double* Re() { return FData.data(); }
    double* Im() { return FIm; }

  private:
    static constexpr std::size_t kGap = 64;
    std::vector<double> FData;
    double* FIm;
};

} // namespace corvanel
