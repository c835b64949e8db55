// The table of controls against the processor's own start values and the settings file, and
// the controls' rules both ways.
#include "controls/ControlRules.h"
#include "controls/Settings.h"
#include "dsp/ReduceParams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace corvanel;

namespace {

const double kNoNumber = std::numeric_limits<double>::quiet_NaN();

// The parameter the control's change handler sets, as the processor starts with it; none for
// the volume bar, which sets no parameter.
std::optional<double> ProcessorStart(ControlId id) {
    const ReduceParams p;
    switch (id) {
    case ControlId::VolumeBar:
        return std::nullopt;
    case ControlId::Switch1:
        return p.VREnable.load() ? 1.0 : 0.0;
    case ControlId::Switch2:
        return p.VRInverse.load() ? 1.0 : 0.0;
    case ControlId::TrackAParam:
        return p.VRAParam.load();
    case ControlId::TrackPParam:
        return p.VRPParam.load();
    case ControlId::TrackPanPot:
        return p.VRPanPot.load();
    case ControlId::PopboxFFT:
        return p.VRFFTPoint.load();
    case ControlId::SpinKeyChange:
        return p.VRKeyChange.load();
    case ControlId::TrackTempo:
        return p.VRTempo.load();
    case ControlId::Freqbar1:
        return p.VRBand1.load();
    case ControlId::Freqbar2:
        return p.VRBand2.load();
    }
    return std::nullopt;
}

TEST(ControlTable, StartValuesGiveTheProcessorsStartParameters) {
    for (const ControlRow& row : ControlRows()) {
        if (const std::optional<double> start = ProcessorStart(row.Id)) {
            EXPECT_EQ(ParameterFromControl(row, row.Start), *start) << row.Name;
        }
    }
}

// A design, start or reset value the control could not hold would move on the first touch.
TEST(ControlTable, EveryValueIsOneItsControlHolds) {
    for (const ControlRow& row : ControlRows()) {
        EXPECT_LE(row.Range.Min, row.Range.Max) << row.Name;
        EXPECT_EQ(ConstrainToControl(row.Range, row.Design, kNoNumber), row.Design) << row.Name;
        EXPECT_EQ(ConstrainToControl(row.Range, row.Start, kNoNumber), row.Start) << row.Name;
        if (row.Resets) {
            const double reset = ResetValue(row);
            EXPECT_EQ(ConstrainToControl(row.Range, reset, kNoNumber), reset) << row.Name;
        }
    }
}

// The command line's notes show a control's value in the file's units: the rule backwards
// must land on the same control value.
TEST(ControlRules, SettingsValueOfAControlValueLoadsBackToIt) {
    for (const ControlRow& row : ControlRows()) {
        for (const double value : {row.Range.Min, row.Start, row.Range.Max}) {
            const double setting = SettingOfControlValue(row, value);
            EXPECT_EQ(ControlFromSetting(row, setting, kNoNumber), value)
                << row.Name << " at " << value << " (setting " << setting << ")";
        }
    }
}

// What the settings file says of the controls, section and key, in the file's order.
std::vector<std::string> SectionsAndKeys(const std::string& bytes) {
    std::vector<std::string> found;
    std::istringstream lines(bytes);
    std::string section;
    std::string line;
    while (std::getline(lines, line)) {
        if (line.size() > 2 && line.front() == '[' && line.back() == ']')
            section = line.substr(1, line.size() - 2);
        else if (const auto equals = line.find('='); equals != std::string::npos)
            found.push_back(section + "/" + line.substr(0, equals));
    }
    return found;
}

TEST(ControlTableSettings, AWrittenFileHoldsEveryRowsKeyInTheTablesOrder) {
    TIniFile file('.');
    WriteSettings(file, TSettings{});
    std::vector<std::string> expected;
    for (const ControlRow& row : ControlRows())
        expected.push_back(std::string(row.Section) + "/" + std::string(row.Key));
    EXPECT_EQ(SectionsAndKeys(file.ToBytes()), expected);
}

} // namespace
