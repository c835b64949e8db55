#include "cli/ControlParams.h"

namespace corvanel::cli {

namespace {
double Widened(double barValue) {
    return static_cast<double>(static_cast<float>(barValue));
}
} // namespace

void SetParamsFromControls(const TSettingsControls& c, ReduceParams& p) {
    p.VREnable = c.Switch1;
    p.VRInverse = c.Switch2;
    p.VRAParam = Widened(c.TrackAParam);
    p.VRPParam = Widened(c.TrackPParam);
    p.VRPanPot = Widened(c.TrackPanPot);
    p.VRFFTPoint = FFTPointFromIndex(c.PopboxFFT);
    p.VRKeyChange = c.SpinKeyChange;
    p.VRTempo = TempoPercentFromBar(static_cast<float>(c.TrackTempo));
    p.VRBand1 = BandEdgeFromBar(static_cast<float>(c.Freqbar1));
    p.VRBand2 = BandEdgeFromBar(static_cast<float>(c.Freqbar2));
}

} // namespace corvanel::cli
