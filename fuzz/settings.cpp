// The settings loader: whatever a file holds, the values read are finite, the controls set
// from them are numbers, and saving them writes what reads back as the same values.
#include "controls/Settings.h"
#include "fuzz/FuzzInput.h"

#include <cmath>
#include <string>

using namespace corvanel;

namespace {

bool Same(double written, double read) {
    // Written with 15 significant digits, or exactly where 15 would not read back.
    return std::fabs(written - read) <= 1e-14 * std::fabs(written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TIniFile file('.');
    file.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    const TSettings s = ReadSettings(file);
    for (double v : {s.Volume, s.ParamAmplitude, s.ParamPhase, s.ParamPanPot, s.KeyChange, s.Tempo,
                     s.FreqRangeA, s.FreqRangeB})
        CORVANEL_FUZZ_CHECK(std::isfinite(v));

    const TSettingsControls c = ControlsFromSettings(s, TSettingsControls{});
    for (double v : {c.VolumeBar, c.TrackAParam, c.TrackPParam, c.TrackPanPot, c.SpinKeyChange,
                     c.TrackTempo, c.Freqbar1, c.Freqbar2})
        CORVANEL_FUZZ_CHECK(std::isfinite(v));

    // Saved into the file's own content, as the program does, and read again.
    WriteSettings(file, s);
    TIniFile again('.');
    again.LoadFromBytes("\xEF\xBB\xBF" + file.ToText());
    const TSettings r = ReadSettings(again);
    CORVANEL_FUZZ_CHECK(r.Enable == s.Enable && r.Inverse == s.Inverse && r.FFTPoint == s.FFTPoint);
    CORVANEL_FUZZ_CHECK(Same(s.Volume, r.Volume) && Same(s.ParamAmplitude, r.ParamAmplitude) &&
                        Same(s.ParamPhase, r.ParamPhase) && Same(s.ParamPanPot, r.ParamPanPot) &&
                        Same(s.KeyChange, r.KeyChange) && Same(s.Tempo, r.Tempo) &&
                        Same(s.FreqRangeA, r.FreqRangeA) && Same(s.FreqRangeB, r.FreqRangeB));
    return 0;
}
