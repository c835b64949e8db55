#include "controls/ControlRules.h"

#include "dsp/ReduceParams.h"

#include <algorithm>
#include <cmath>

namespace corvanel {

double ConstrainToControl(const ControlRange& range, double value, double current) {
    if (std::isnan(value))
        return current;
    double held = std::clamp(value, range.Min, range.Max);
    if (range.Step > 0.0) {
        // The nearest multiple of the step; nearbyint rounds halves to even.
        held = std::nearbyint(held / range.Step) * range.Step;
        held = std::clamp(held, range.Min, range.Max);
    }
    if (range.SinglePrecision)
        held = static_cast<double>(static_cast<float>(held));
    return held;
}

double ControlValueOfSetting(const ControlRow& row, double settingValue) {
    switch (row.Rule) {
    case ControlRule::Switch:
    case ControlRule::Plain:
        return settingValue;
    case ControlRule::FrameSize:
        return std::log2(settingValue) - 13.0;
    case ControlRule::Tempo:
        return std::log10(settingValue / 100.0 + 1.0);
    case ControlRule::Frequency:
        return std::log10(settingValue);
    }
    return settingValue;
}

double ControlFromSetting(const ControlRow& row, double settingValue, double current) {
    return ConstrainToControl(row.Range, ControlValueOfSetting(row, settingValue), current);
}

double SettingOfControlValue(const ControlRow& row, double controlValue) {
    switch (row.Rule) {
    case ControlRule::Switch:
    case ControlRule::Plain:
        return controlValue;
    case ControlRule::FrameSize:
        return std::pow(2.0, controlValue + 13.0);
    case ControlRule::Tempo:
        return (std::pow(10.0, controlValue) - 1.0) * 100.0;
    case ControlRule::Frequency:
        return std::pow(10.0, controlValue);
    }
    return controlValue;
}

double ParameterFromControl(const ControlRow& row, double controlValue) {
    switch (row.Rule) {
    case ControlRule::Switch:
        return controlValue != 0.0 ? 1.0 : 0.0;
    case ControlRule::Plain:
        // A bar's value is widened from single precision.
        return row.Range.SinglePrecision ? static_cast<double>(static_cast<float>(controlValue))
                                         : controlValue;
    case ControlRule::FrameSize:
        return FFTPointFromIndex(static_cast<int>(controlValue));
    case ControlRule::Tempo:
        return TempoPercentFromBar(static_cast<float>(controlValue));
    case ControlRule::Frequency:
        return BandEdgeFromBar(static_cast<float>(controlValue));
    }
    return controlValue;
}

double ResetValue(const ControlRow& row) {
    return ControlFromSetting(row, row.FileDefault, row.Start);
}

} // namespace corvanel
