#include "cli/ControlParams.h"

#include "controls/ControlRules.h"

namespace corvanel::cli {

namespace {
double Parameter(ControlId id, double controlValue) {
    return ParameterFromControl(ControlRowOf(id), controlValue);
}
} // namespace

void SetParamsFromControls(const TSettingsControls& c, ReduceParams& p) {
    using C = ControlId;
    p.VREnable = Parameter(C::Switch1, c.Switch1) != 0.0;
    p.VRInverse = Parameter(C::Switch2, c.Switch2) != 0.0;
    p.VRAParam = Parameter(C::TrackAParam, c.TrackAParam);
    p.VRPParam = Parameter(C::TrackPParam, c.TrackPParam);
    p.VRPanPot = Parameter(C::TrackPanPot, c.TrackPanPot);
    p.VRFFTPoint = static_cast<std::int32_t>(Parameter(C::PopboxFFT, c.PopboxFFT));
    p.VRKeyChange = Parameter(C::SpinKeyChange, c.SpinKeyChange);
    p.VRTempo = Parameter(C::TrackTempo, c.TrackTempo);
    p.VRBand1 = Parameter(C::Freqbar1, c.Freqbar1);
    p.VRBand2 = Parameter(C::Freqbar2, c.Freqbar2);
}

} // namespace corvanel::cli
