// The values that steer the reduction processor and the key and tempo of playback, and the
// rules that turn a control's value into one of them.
//
// Units: VRAParam dB, VRPParam degrees, VRPanPot dB of expected right-over-left level,
// VRFFTPoint sample pairs per frame, VRKeyChange semitones, VRTempo percent, VRBand1/VRBand2 Hz.
//
// Threads: the UI thread writes the values; the audio thread reads them without a lock.
// Each is one lock-free atomic word, read and written whole; no order between two values
// is promised. The value rules are plain functions for any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace corvanel {

// The edges the band starts with: 10 to the single-precision log10 of 200 and 16500 Hz.
inline constexpr double kStartBand1 = 199.99996948242188;
inline constexpr double kStartBand2 = 16500.001953125;

struct ReduceParams {
    std::atomic<bool> VREnable{false};
    std::atomic<bool> VRInverse{false};
    std::atomic<double> VRAParam{70.0};
    std::atomic<double> VRPParam{15.0};
    std::atomic<double> VRPanPot{0.0};
    std::atomic<std::int32_t> VRFFTPoint{16384};
    std::atomic<double> VRKeyChange{0.0};
    std::atomic<double> VRTempo{0.0};
    std::atomic<double> VRBand1{kStartBand1};
    std::atomic<double> VRBand2{kStartBand2};
};

static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<double>::is_always_lock_free);
static_assert(std::atomic<std::int32_t>::is_always_lock_free);

// The program's parameters, and each one under its own name.
extern ReduceParams VR;
extern std::atomic<bool>& VREnable;
extern std::atomic<bool>& VRInverse;
extern std::atomic<double>& VRAParam;
extern std::atomic<double>& VRPParam;
extern std::atomic<double>& VRPanPot;
extern std::atomic<std::int32_t>& VRFFTPoint;
extern std::atomic<double>& VRKeyChange;
extern std::atomic<double>& VRTempo;
extern std::atomic<double>& VRBand1;
extern std::atomic<double>& VRBand2;

// Band edge in Hz from a frequency bar's value (log10 of Hz): 10^v in single precision.
double BandEdgeFromBar(float barValue);

// Label text of a band edge: rounded to tens (halves to even), e.g. "320 Hz".
std::string BandLabelText(double edgeHz);

// Frame length in sample pairs from the frame-size list's item index: 2^(index + 13)
// in single precision, rounded (0 → 8192, 1 → 16384, 2 → 32768).
std::int32_t FFTPointFromIndex(int itemIndex);

// Tempo change in percent from the tempo bar's value (log10 of the speed factor); changes
// of at most 5 % either way count as 0.
double TempoPercentFromBar(float barValue);

} // namespace corvanel
