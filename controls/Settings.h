#pragma once
// The settings file: every value it holds, its reading and writing, and how the values reach
// the window's controls.
//
// Units: Volume dB of attenuation; ParamAmplitude dB; ParamPhase degrees; ParamPanPot dB;
// FFTPoint sample pairs; KeyChange semitones; Tempo percent; FreqRangeA/B Hz.
// Threads: UI thread (plain functions; nothing shared).
#include "controls/IniFile.h"

#include <cstdint>
#include <filesystem>
#include <optional>

namespace corvanel {

// One value per key, with the defaults used when a key is missing or unreadable. Loading
// fills it with what the file says (not yet limited); saving writes it as it stands, so the
// window fills it from the parameters and the volume bar.
struct TSettings {
    // [Listening]
    double Volume = 20.0;
    // [Parameters]
    bool Enable = false;
    bool Inverse = false;
    double ParamAmplitude = 60.0;
    double ParamPhase = 30.0;
    double ParamPanPot = 0.0;
    std::int32_t FFTPoint = 16384;
    double KeyChange = 0.0;
    double Tempo = 0.0;
    double FreqRangeA = 200.0;
    double FreqRangeB = 16500.0;

    bool operator==(const TSettings&) const = default;
};

inline constexpr const char* kListeningSection = "Listening";
inline constexpr const char* kParametersSection = "Parameters";

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

// What the loader puts into each control, limited by the control's range and step.
struct TSettingsControls {
    double VolumeBar = 20.0;
    bool Switch1 = false;
    bool Switch2 = false;
    double TrackAParam = 70.0;
    double TrackPParam = 15.0;
    double TrackPanPot = 0.0;
    int PopboxFFT = 1;
    double SpinKeyChange = 0.0;
    double TrackTempo = 0.0;
    // The start-up places: the single-precision log10 of 200 and of 16500.
    double Freqbar1 = static_cast<double>(2.30102999566398f);
    double Freqbar2 = static_cast<double>(4.21748394421391f);
};

// `current` holds the controls' values before loading.
// PopboxFFT = round(log2(FFTPoint) - 13), halves to even; TrackTempo = log10(Tempo / 100 + 1);
// Freqbar1/2 = log10(FreqRangeA/B). A result beyond a control's range (an infinite one too,
// from a zero argument) takes the nearest end; one that is no number (the log of a negative
// value) leaves the control as it is.
TSettingsControls ControlsFromSettings(const TSettings& settings, const TSettingsControls& current);

} // namespace corvanel
