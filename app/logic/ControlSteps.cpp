#include "app/logic/ControlSteps.h"

#include <algorithm>

float StepLeft(float minimum, float value, double step) {
    if (!(value > minimum))
        return value;
    const auto next = static_cast<float>(static_cast<double>(value) - step);
    return std::max(next, minimum);
}

float StepRight(float maximum, float value, double step) {
    if (!(maximum > value))
        return value;
    const auto next = static_cast<float>(static_cast<double>(value) + step);
    return std::min(next, maximum);
}

namespace {
using C = StepControl;
// The band bars end at the single-precision neighbours of log10(24000) just below and above it.
constexpr std::array<StepControlRange, kStepControlCount> kRanges{{
    {C::TrackAParam, "TrackAParam", 0.0f, 70.0f, 1.0},
    {C::TrackPParam, "TrackPParam", 1.0f, 60.0f, 1.0},
    {C::TrackPanPot, "TrackPanPot", -20.0f, 20.0f, 1.0},
    {C::SpinKeyChange, "SpinKeyChange", -7.0f, 7.0f, 1.0},
    {C::TrackTempo, "TrackTempo", -0.301f, 0.301f, 0.02},
    {C::Freqbar1, "Freqbar1", 1.0f, 4.380210876464844f, 0.1},
    {C::Freqbar2, "Freqbar2", 1.0f, 4.380211353302002f, 0.1},
}};
} // namespace

const std::array<StepControlRange, kStepControlCount>& StepControlRanges() {
    return kRanges;
}

const StepControlRange& StepControlRangeOf(StepControl control) {
    return kRanges[static_cast<std::size_t>(control)];
}

int NextFftSizeIndex(int index, int count) {
    if (count <= 0)
        return index;
    if (index < 0)
        return 0;
    return (index + 1) % count;
}

std::optional<StepMove> StepMoveFor(KeyHandler handler) {
    using H = KeyHandler;
    using D = StepDirection;
    switch (handler) {
    case H::AcbAParamLeftExecute:
        return StepMove{C::TrackAParam, D::Left};
    case H::AcbAParamRightExecute:
        return StepMove{C::TrackAParam, D::Right};
    case H::AcbPParamLeftExecute:
        return StepMove{C::TrackPParam, D::Left};
    case H::AcbPParamRightExecute:
        return StepMove{C::TrackPParam, D::Right};
    case H::AcbPanpotLeftExecute:
        return StepMove{C::TrackPanPot, D::Left};
    case H::AcbPanpotRightExecute:
        return StepMove{C::TrackPanPot, D::Right};
    case H::AcbKeyChangeDownExecute:
        return StepMove{C::SpinKeyChange, D::Left};
    case H::AcbKeyChangeUpExecute:
        return StepMove{C::SpinKeyChange, D::Right};
    case H::AcbTempoLeftExecute:
        return StepMove{C::TrackTempo, D::Left};
    case H::AcbTempoRightExecute:
        return StepMove{C::TrackTempo, D::Right};
    case H::AcbFreqLowLeftExecute:
        return StepMove{C::Freqbar1, D::Left};
    case H::AcbFreqLowRightExecute:
        return StepMove{C::Freqbar1, D::Right};
    case H::AcbFreqHighLeftExecute:
        return StepMove{C::Freqbar2, D::Left};
    case H::AcbFreqHighRightExecute:
        return StepMove{C::Freqbar2, D::Right};
    default:
        return std::nullopt;
    }
}

float ApplyStep(const StepMove& move, float minimum, float maximum, float value) {
    const double step = StepControlRangeOf(move.control).step;
    return move.direction == StepDirection::Left ? StepLeft(minimum, value, step)
                                                 : StepRight(maximum, value, step);
}
