#include "controls/Settings.h"

#include "controls/ControlLimits.h"

#include <algorithm>
#include <cmath>

namespace corvanel {

TSettings ReadSettings(const TIniFile& file) {
    const TSettings def;
    TSettings s;
    s.Volume = file.ReadFloat(kListeningSection, "Volume", def.Volume);
    s.Enable = file.ReadBool(kParametersSection, "Enable", def.Enable);
    s.Inverse = file.ReadBool(kParametersSection, "Inverse", def.Inverse);
    s.ParamAmplitude = file.ReadFloat(kParametersSection, "ParamAmplitude", def.ParamAmplitude);
    s.ParamPhase = file.ReadFloat(kParametersSection, "ParamPhase", def.ParamPhase);
    s.ParamPanPot = file.ReadFloat(kParametersSection, "ParamPanPot", def.ParamPanPot);
    s.FFTPoint = file.ReadInteger(kParametersSection, "FFTPoint", def.FFTPoint);
    s.KeyChange = file.ReadFloat(kParametersSection, "KeyChange", def.KeyChange);
    s.Tempo = file.ReadFloat(kParametersSection, "Tempo", def.Tempo);
    s.FreqRangeA = file.ReadFloat(kParametersSection, "FreqRangeA", def.FreqRangeA);
    s.FreqRangeB = file.ReadFloat(kParametersSection, "FreqRangeB", def.FreqRangeB);
    return s;
}

void WriteSettings(TIniFile& file, const TSettings& s) {
    file.WriteFloat(kListeningSection, "Volume", s.Volume);
    file.WriteBool(kParametersSection, "Enable", s.Enable);
    file.WriteBool(kParametersSection, "Inverse", s.Inverse);
    file.WriteFloat(kParametersSection, "ParamAmplitude", s.ParamAmplitude);
    file.WriteFloat(kParametersSection, "ParamPhase", s.ParamPhase);
    file.WriteFloat(kParametersSection, "ParamPanPot", s.ParamPanPot);
    file.WriteInteger(kParametersSection, "FFTPoint", s.FFTPoint);
    file.WriteFloat(kParametersSection, "KeyChange", s.KeyChange);
    file.WriteFloat(kParametersSection, "Tempo", s.Tempo);
    file.WriteFloat(kParametersSection, "FreqRangeA", s.FreqRangeA);
    file.WriteFloat(kParametersSection, "FreqRangeB", s.FreqRangeB);
}

std::optional<TSettings> LoadSettingsFile(const std::filesystem::path& path) {
    TIniFile file;
    if (file.LoadFromFile(path) != TIniFile::TLoadResult::Loaded)
        return std::nullopt;
    return ReadSettings(file);
}

bool SaveSettingsFile(const std::filesystem::path& path, const TSettings& settings,
                      std::string* reason) noexcept {
    try {
        TIniFile file;
        if (file.LoadFromFile(path) == TIniFile::TLoadResult::Unreadable) {
            if (reason)
                *reason = "the present file cannot be read";
            return false;
        }
        WriteSettings(file, settings);
        return file.SaveToFile(path, reason);
    } catch (...) {
        return false;
    }
}

std::filesystem::path SettingsFilePath(const std::filesystem::path& executable) {
    std::filesystem::path path = executable;
    path.replace_extension(".ini");
    return path;
}

TSettingsControls ControlsFromSettings(const TSettings& s, const TSettingsControls& current) {
    TSettingsControls c = current;
    c.VolumeBar = ConstrainToControl(controls::VolumeBar, s.Volume, current.VolumeBar);
    c.Switch1 = s.Enable;
    c.Switch2 = s.Inverse;
    c.TrackAParam =
        ConstrainToControl(controls::TrackAParam, s.ParamAmplitude, current.TrackAParam);
    c.TrackPParam = ConstrainToControl(controls::TrackPParam, s.ParamPhase, current.TrackPParam);
    c.TrackPanPot = ConstrainToControl(controls::TrackPanPot, s.ParamPanPot, current.TrackPanPot);

    const double item = std::nearbyint(std::log2(static_cast<double>(s.FFTPoint)) - 13.0);
    if (!std::isnan(item))
        c.PopboxFFT = static_cast<int>(
            std::clamp(item, 0.0, static_cast<double>(controls::PopboxFFTItemCount - 1)));

    c.SpinKeyChange =
        ConstrainToControl(controls::SpinKeyChange, s.KeyChange, current.SpinKeyChange);
    c.TrackTempo = ConstrainToControl(controls::TrackTempo, std::log10(s.Tempo / 100.0 + 1.0),
                                      current.TrackTempo);
    c.Freqbar1 = ConstrainToControl(controls::Freqbar1, std::log10(s.FreqRangeA), current.Freqbar1);
    c.Freqbar2 = ConstrainToControl(controls::Freqbar2, std::log10(s.FreqRangeB), current.Freqbar2);
    return c;
}

} // namespace corvanel
