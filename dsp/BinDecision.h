// The reduction's per-bin decision on a packed stereo spectrum (X = L + iR in PackedFFT's
// slot order): a bin in the band whose level difference, stereo position and phase
// difference mark it as centre sound gets new left and right amplitudes at its analysed
// phases; every other bin stays as analysed.
//
// Most bins are settled by a vectorised pass on powers, their ratio and a half-plane test of
// the phase; a bin near a threshold or near ±180° is decided by the exact arithmetic
// (amplitudes, decibels, arc tangents), so the verdicts are those of the exact form.
#pragma once

#include "dsp/PackedFFT.h"
#include "dsp/WaveFFT.h"

#include <vector>

namespace corvanel {

// The decision's parameters as one frame sees them, with what follows from them.
struct BinDecisionParams {
    BinDecisionParams(double band1, double band2, double samplingRate, double panPot, double aParam,
                      double pParam);

    double lo, hi; // band, edges excluded (either order given)
    double rate;   // Hz
    double panPot, aParam, pParam;
    double wL, wR;   // channel weights
    double qLo, qHi; // power ratios (L/R)^2 between which both level tests pass
    bool phaseFast;  // the half-plane test applies (pParam clear of ±180°)
    double phaseCos, phaseSin;
};

// One bin of frequency f (Hz), left and right as analysed: true when it is judged, with both
// given their new values. The rule the vector pass agrees with, bin by bin.
bool DecideBin(const BinDecisionParams& p, double f, TComplex& left, TComplex& right);

class PackedBinDecider {
  public:
    // Tables for fft's length (allocated here only).
    explicit PackedBinDecider(const PackedFFT& fft);

    // Decides every bin of the spectrum in place; half the sampling rate is cleared.
    void Decide(const BinDecisionParams& p, double* re, double* im) const;

  private:
    const PackedFFT& FFFT;
    // Bin numbers of the slot pairs the vector pass walks, in its order.
    std::vector<double> FPairBin;
};

} // namespace corvanel
