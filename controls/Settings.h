#pragma once
// The settings file: every value it holds, its reading and writing, and how the values reach
// the window's controls.
//
// Units: Volume dB of attenuation; ParamAmplitude dB; ParamPhase degrees; ParamPanPot dB;
// FFTPoint sample pairs; KeyChange semitones; Tempo percent; FreqRangeA/B Hz.
// Threads: UI thread (plain functions; nothing shared).
#include "controls/ControlTable.h"
#include "controls/IniFile.h"

#include <cstdint>
#include <filesystem>
#include <optional>

namespace corvanel {

// One value per key, with the defaults used when a key is missing or unreadable (the table's
// file defaults). Loading fills it with what the file says (not yet limited); saving writes it
// as it stands, so the window fills it from the parameters and the volume bar.
struct TSettings {
    // [Listening]
    double Volume = ControlRowOf(ControlId::VolumeBar).FileDefault;
    // [Parameters]
    bool Enable = ControlRowOf(ControlId::Switch1).FileDefault != 0.0;
    bool Inverse = ControlRowOf(ControlId::Switch2).FileDefault != 0.0;
    double ParamAmplitude = ControlRowOf(ControlId::TrackAParam).FileDefault;
    double ParamPhase = ControlRowOf(ControlId::TrackPParam).FileDefault;
    double ParamPanPot = ControlRowOf(ControlId::TrackPanPot).FileDefault;
    std::int32_t FFTPoint =
        static_cast<std::int32_t>(ControlRowOf(ControlId::PopboxFFT).FileDefault);
    double KeyChange = ControlRowOf(ControlId::SpinKeyChange).FileDefault;
    double Tempo = ControlRowOf(ControlId::TrackTempo).FileDefault;
    double FreqRangeA = ControlRowOf(ControlId::Freqbar1).FileDefault;
    double FreqRangeB = ControlRowOf(ControlId::Freqbar2).FileDefault;

    bool operator==(const TSettings&) const = default;
};

TSettings ReadSettings(const TIniFile& file);
// Every key, in the file's key order, into the file's present content.
void WriteSettings(TIniFile& file, const TSettings& settings);

// nullopt when there is no settings file (or it cannot be read): nothing is to be loaded.
std::optional<TSettings> LoadSettingsFile(const std::filesystem::path& file);
// Keeps the other sections and entries of the present file. False when the file cannot be
// written, or when an existing file cannot be read (rewriting it would lose its other
// content). Never throws.
// `reason`, when given, receives why it failed.
bool SaveSettingsFile(const std::filesystem::path& file, const TSettings& settings,
                      std::string* reason = nullptr) noexcept;

// Beside the program, named after it with ".ini": /opt/x/corvanel -> /opt/x/corvanel.ini,
// C:\x\corvanel.exe -> C:\x\corvanel.ini.
std::filesystem::path SettingsFilePath(const std::filesystem::path& executable);

// What the loader puts into each control, limited by the control's range and step. The
// defaults are the controls' values at start-up.
struct TSettingsControls {
    double VolumeBar = ControlRowOf(ControlId::VolumeBar).Start;
    bool Switch1 = ControlRowOf(ControlId::Switch1).Start != 0.0;
    bool Switch2 = ControlRowOf(ControlId::Switch2).Start != 0.0;
    double TrackAParam = ControlRowOf(ControlId::TrackAParam).Start;
    double TrackPParam = ControlRowOf(ControlId::TrackPParam).Start;
    double TrackPanPot = ControlRowOf(ControlId::TrackPanPot).Start;
    int PopboxFFT = static_cast<int>(ControlRowOf(ControlId::PopboxFFT).Start);
    double SpinKeyChange = ControlRowOf(ControlId::SpinKeyChange).Start;
    double TrackTempo = ControlRowOf(ControlId::TrackTempo).Start;
    double Freqbar1 = ControlRowOf(ControlId::Freqbar1).Start;
    double Freqbar2 = ControlRowOf(ControlId::Freqbar2).Start;
};

// `current` holds the controls' values before loading. Each value passes through its control's
// rule (controls/ControlRules.h): PopboxFFT = round(log2(FFTPoint) - 13), halves to even;
// TrackTempo = log10(Tempo / 100 + 1); Freqbar1/2 = log10(FreqRangeA/B). A result beyond a
// control's range (an infinite one too, from a zero argument) takes the nearest end; one that is no
// number (the log of a negative value) leaves the control as it is.
TSettingsControls ControlsFromSettings(const TSettings& settings, const TSettingsControls& current);

} // namespace corvanel
