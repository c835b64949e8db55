#pragma once
// The main window's controls that carry a saved setting, one row each: range and step, the
// step of one key move, the value the window is built with and the one start-up leaves it at,
// whether a reset restores it, its settings key with the file's default, and the rule that
// turns the control's value into its parameter. The window, the settings loader, the key
// commands, the resets and the command-line tool all read their rules from here.
//
// Units are the controls' own: dB of attenuation (VolumeBar), dB (TrackAParam), degrees
// (TrackPParam), dB (TrackPanPot), item index (PopboxFFT), semitones (SpinKeyChange), log10 of
// the speed factor (TrackTempo), log10 of Hz (Freqbar1, Freqbar2), 0/1 (switches). Settings
// values are in the file's units (see controls/Settings.h). Pure; any thread.

#include <array>
#include <cstddef>
#include <string_view>

namespace corvanel {

// In the settings file's key order.
enum class ControlId {
    VolumeBar,
    Switch1,
    Switch2,
    TrackAParam,
    TrackPParam,
    TrackPanPot,
    PopboxFFT,
    SpinKeyChange,
    TrackTempo,
    Freqbar1,
    Freqbar2
};
inline constexpr std::size_t kControlCount = 11;

struct ControlRange {
    double Min = 0.0;
    double Max = 0.0;
    double Step = 0.0;           // 0: continuous
    bool SinglePrecision = true; // track bars and scroll bars hold a 32-bit float
};

// How a control's value becomes its parameter, and a settings value the control's value.
enum class ControlRule {
    Switch,    // on/off, as it stands
    Plain,     // the value itself (a bar's widened from single precision)
    FrameSize, // item i: 2^(i + 13) sample pairs; from the file: log2(points) - 13
    Tempo,     // log10 of the speed factor: (10^v - 1) * 100 % with the dead zone; from the
               // file: log10(percent / 100 + 1)
    Frequency, // log10 of Hz: 10^v; from the file: log10(Hz)
};

struct ControlRow {
    ControlId Id;
    std::string_view Name; // the window's name of the control
    ControlRange Range;
    double KeyStep; // one arrow-key move, and one step of the key commands that move it
    double Design;  // the value the window is built with
    double Start;   // the value start-up leaves it at, before the settings file is read
    bool Resets;    // a reset restores the value a missing settings key gives
    std::string_view Section;
    std::string_view Key;
    double FileDefault; // a missing or unreadable key reads as this, in the file's units
    ControlRule Rule;
};

const std::array<ControlRow, kControlCount>& ControlRows();
const ControlRow& ControlRowOf(ControlId id);

} // namespace corvanel
