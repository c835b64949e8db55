#pragma once
// The reduction parameters as the window's change handlers set them from their controls, by
// each control's rule in the table of controls (controls/ControlRules.h): switches as they
// stand, bars widened from single precision, the frame length from the frame-size list's
// item, the band edges as 10^bar and the tempo by the tempo bar's rule (logarithm, dead zone
// of 5 %), all in single precision where the window computes so.
//
// Units: those of ReduceParams.h. Threads: any; the parameters written are the caller's.
#include "controls/Settings.h"
#include "dsp/ReduceParams.h"

namespace corvanel::cli {

// Every parameter, as after the window's handlers ran for these controls.
void SetParamsFromControls(const TSettingsControls& controls, ReduceParams& params);

} // namespace corvanel::cli
