#include "dsp/ReduceParams.h"

#include <cmath>
#include <cstdio>

namespace corvanel {

// Constant-initialised, so other start-up code may use the names in any order.
ReduceParams VR;
std::atomic<bool>& VREnable = VR.VREnable;
std::atomic<bool>& VRInverse = VR.VRInverse;
std::atomic<double>& VRAParam = VR.VRAParam;
std::atomic<double>& VRPParam = VR.VRPParam;
std::atomic<double>& VRPanPot = VR.VRPanPot;
std::atomic<std::int32_t>& VRFFTPoint = VR.VRFFTPoint;
std::atomic<double>& VRKeyChange = VR.VRKeyChange;
std::atomic<double>& VRTempo = VR.VRTempo;
std::atomic<double>& VRBand1 = VR.VRBand1;
std::atomic<double>& VRBand2 = VR.VRBand2;

double BandEdgeFromBar(float barValue) {
    return static_cast<double>(std::pow(10.0f, barValue));
}

std::string BandLabelText(double edgeHz) {
    // nearbyint follows the default rounding mode: halves to even.
    const double rounded = std::nearbyint(edgeHz * 0.1) * 10.0;
    char text[64];
    std::snprintf(text, sizeof text, "%.15g Hz", rounded);
    return text;
}

std::int32_t FFTPointFromIndex(int itemIndex) {
    const float points = std::pow(2.0f, static_cast<float>(itemIndex + 13));
    return static_cast<std::int32_t>(std::lrint(points));
}

double TempoPercentFromBar(float barValue) {
    const float factor = std::pow(10.0f, barValue);
    double percent = (static_cast<double>(factor) - 1.0) * 100.0;
    if (std::fabs(percent) <= 5.0)
        percent = 0.0;
    return percent;
}

} // namespace corvanel
