#include "controls/Settings.h"

#include "controls/ControlRules.h"

namespace corvanel {

namespace {

using C = ControlId;

double Read(const TIniFile& file, C id, double def) {
    const ControlRow& row = ControlRowOf(id);
    return file.ReadFloat(row.Section, row.Key, def);
}
bool Read(const TIniFile& file, C id, bool def) {
    const ControlRow& row = ControlRowOf(id);
    return file.ReadBool(row.Section, row.Key, def);
}
std::int32_t Read(const TIniFile& file, C id, std::int32_t def) {
    const ControlRow& row = ControlRowOf(id);
    return file.ReadInteger(row.Section, row.Key, def);
}

void Write(TIniFile& file, C id, double value) {
    const ControlRow& row = ControlRowOf(id);
    file.WriteFloat(row.Section, row.Key, value);
}
void Write(TIniFile& file, C id, bool value) {
    const ControlRow& row = ControlRowOf(id);
    file.WriteBool(row.Section, row.Key, value);
}
void Write(TIniFile& file, C id, std::int32_t value) {
    const ControlRow& row = ControlRowOf(id);
    file.WriteInteger(row.Section, row.Key, value);
}

double Limited(C id, double settingValue, double current) {
    return ControlFromSetting(ControlRowOf(id), settingValue, current);
}

} // namespace

TSettings ReadSettings(const TIniFile& file) {
    const TSettings def;
    TSettings s;
    s.Volume = Read(file, C::VolumeBar, def.Volume);
    s.Enable = Read(file, C::Switch1, def.Enable);
    s.Inverse = Read(file, C::Switch2, def.Inverse);
    s.ParamAmplitude = Read(file, C::TrackAParam, def.ParamAmplitude);
    s.ParamPhase = Read(file, C::TrackPParam, def.ParamPhase);
    s.ParamPanPot = Read(file, C::TrackPanPot, def.ParamPanPot);
    s.FFTPoint = Read(file, C::PopboxFFT, def.FFTPoint);
    s.KeyChange = Read(file, C::SpinKeyChange, def.KeyChange);
    s.Tempo = Read(file, C::TrackTempo, def.Tempo);
    s.FreqRangeA = Read(file, C::Freqbar1, def.FreqRangeA);
    s.FreqRangeB = Read(file, C::Freqbar2, def.FreqRangeB);
    return s;
}

void WriteSettings(TIniFile& file, const TSettings& s) {
    Write(file, C::VolumeBar, s.Volume);
    Write(file, C::Switch1, s.Enable);
    Write(file, C::Switch2, s.Inverse);
    Write(file, C::TrackAParam, s.ParamAmplitude);
    Write(file, C::TrackPParam, s.ParamPhase);
    Write(file, C::TrackPanPot, s.ParamPanPot);
    Write(file, C::PopboxFFT, s.FFTPoint);
    Write(file, C::SpinKeyChange, s.KeyChange);
    Write(file, C::TrackTempo, s.Tempo);
    Write(file, C::Freqbar1, s.FreqRangeA);
    Write(file, C::Freqbar2, s.FreqRangeB);
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
    c.VolumeBar = Limited(C::VolumeBar, s.Volume, current.VolumeBar);
    c.Switch1 = Limited(C::Switch1, s.Enable, current.Switch1) != 0.0;
    c.Switch2 = Limited(C::Switch2, s.Inverse, current.Switch2) != 0.0;
    c.TrackAParam = Limited(C::TrackAParam, s.ParamAmplitude, current.TrackAParam);
    c.TrackPParam = Limited(C::TrackPParam, s.ParamPhase, current.TrackPParam);
    c.TrackPanPot = Limited(C::TrackPanPot, s.ParamPanPot, current.TrackPanPot);
    c.PopboxFFT = static_cast<int>(Limited(C::PopboxFFT, s.FFTPoint, current.PopboxFFT));
    c.SpinKeyChange = Limited(C::SpinKeyChange, s.KeyChange, current.SpinKeyChange);
    c.TrackTempo = Limited(C::TrackTempo, s.Tempo, current.TrackTempo);
    c.Freqbar1 = Limited(C::Freqbar1, s.FreqRangeA, current.Freqbar1);
    c.Freqbar2 = Limited(C::Freqbar2, s.FreqRangeB, current.Freqbar2);
    return c;
}

} // namespace corvanel
