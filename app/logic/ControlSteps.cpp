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

// The table's row of each step control, in the order of StepControl.
constexpr std::array<corvanel::ControlId, kStepControlCount> kRowIds{
    corvanel::ControlId::TrackAParam, corvanel::ControlId::TrackPParam,
    corvanel::ControlId::TrackPanPot, corvanel::ControlId::SpinKeyChange,
    corvanel::ControlId::TrackTempo,  corvanel::ControlId::Freqbar1,
    corvanel::ControlId::Freqbar2,
};

std::array<StepControlRange, kStepControlCount> RangesFromTable() {
    std::array<StepControlRange, kStepControlCount> ranges{};
    for (std::size_t i = 0; i < kStepControlCount; ++i) {
        const corvanel::ControlRow& row = corvanel::ControlRowOf(kRowIds[i]);
        ranges[i] = {static_cast<StepControl>(i), row.Name, static_cast<float>(row.Range.Min),
                     static_cast<float>(row.Range.Max), row.KeyStep};
    }
    return ranges;
}
} // namespace

const std::array<StepControlRange, kStepControlCount>& StepControlRanges() {
    static const std::array<StepControlRange, kStepControlCount> ranges = RangesFromTable();
    return ranges;
}

const StepControlRange& StepControlRangeOf(StepControl control) {
    return StepControlRanges()[static_cast<std::size_t>(control)];
}

corvanel::ControlId ControlIdOf(StepControl control) {
    return kRowIds[static_cast<std::size_t>(control)];
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
