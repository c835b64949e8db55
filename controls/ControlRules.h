#pragma once
// How a value passes through a control of the table: the limits a control puts on a value,
// the control's value a settings value stands for, and the parameter a control's change
// handler sets from its value. Units as in controls/ControlTable.h and dsp/ReduceParams.h.
// Pure; any thread.

#include "controls/ControlTable.h"

namespace corvanel {

// The value a control holds after `value` was put into it: clamped to the range, moved to the
// nearest multiple of the step (halves to even) and, for a single-precision control, rounded
// to float. A value that is not a number leaves `current`.
double ConstrainToControl(const ControlRange& range, double value, double current);

// The control's value a settings value stands for, by the row's rule, not yet limited: an
// infinite result (the log of 0) or no number (the log of a negative value) passes through.
double ControlValueOfSetting(const ControlRow& row, double settingValue);
// The same, limited as the control limits it.
double ControlFromSetting(const ControlRow& row, double settingValue, double current);
// The settings value a control's value stands for, in double precision (the rule backwards).
double SettingOfControlValue(const ControlRow& row, double controlValue);

// The parameter the control's change handler sets from the control's value (a switch: 0/1).
double ParameterFromControl(const ControlRow& row, double controlValue);

// What a reset puts into a control: the value a missing settings key gives it.
double ResetValue(const ControlRow& row);

} // namespace corvanel
