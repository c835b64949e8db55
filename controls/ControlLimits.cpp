#include "controls/ControlLimits.h"

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

} // namespace corvanel
