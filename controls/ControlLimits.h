#pragma once
// The range and step of each main-window control that carries a saved setting, and the rule
// by which a control holds a value put into it. The window builds its controls from these
// ranges; the settings loader limits file values with the same rule.
//
// Units are the controls' own: dB of attenuation (VolumeBar), dB (TrackAParam), degrees
// (TrackPParam), dB (TrackPanPot), semitones (SpinKeyChange), log10 of the speed factor
// (TrackTempo), log10 of Hz (Freqbar1, Freqbar2). Pure; any thread.

namespace corvanel {

struct ControlRange {
    double Min = 0.0;
    double Max = 0.0;
    double Step = 0.0;           // 0: continuous
    bool SinglePrecision = true; // track bars and scroll bars hold a 32-bit float
};

namespace controls {
// Limits written as the float values the controls hold.
inline constexpr ControlRange VolumeBar{0.0, 90.0, 0.1};
inline constexpr ControlRange TrackAParam{0.0, 70.0, 0.0};
inline constexpr ControlRange TrackPParam{1.0, 60.0, 0.1};
inline constexpr ControlRange TrackPanPot{-20.0, 20.0, 0.0};
inline constexpr ControlRange SpinKeyChange{-7.0, 7.0, 1.0, false};
inline constexpr ControlRange TrackTempo{static_cast<double>(-0.301f), static_cast<double>(0.301f),
                                         0.0};
inline constexpr ControlRange Freqbar1{1.0, 4.380210876464844, 0.0};
inline constexpr ControlRange Freqbar2{1.0, 4.380211353302002, 0.0};
// PopboxFFT: items 0, 1, 2.
inline constexpr int PopboxFFTItemCount = 3;
} // namespace controls

// The value a control holds after `value` was put into it: clamped to the range, moved to the
// nearest multiple of the step (halves to even) and, for a single-precision control, rounded
// to float. A value that is not a number leaves `current`.
double ConstrainToControl(const ControlRange& range, double value, double current);

} // namespace corvanel
