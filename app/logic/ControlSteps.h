#pragma once
// The step rules of the keyboard commands that move a parameter control, and the controls they
// move. Values are the controls' own single-precision values (dB, degrees, semitones, log10 of
// a speed factor or of a frequency in Hz). Pure; UI thread.

#include "app/logic/KeyCommands.h"
#include "controls/ControlTable.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

// Step left: only when value > minimum; value - step in double, stored as float, kept at or
// above the minimum as the control keeps it. A step past the bound lands on the bound.
float StepLeft(float minimum, float value, double step);
// Step right: only when maximum > value; value + step, kept at or below the maximum.
float StepRight(float maximum, float value, double step);

enum class StepControl {
    TrackAParam,
    TrackPParam,
    TrackPanPot,
    SpinKeyChange,
    TrackTempo,
    Freqbar1,
    Freqbar2
};

struct StepControlRange {
    StepControl control;
    std::string_view name;
    float minimum;
    float maximum;
    double step;
};

// Read from the table of controls: its range, and its key step as the step.
inline constexpr std::size_t kStepControlCount = 7;
const std::array<StepControlRange, kStepControlCount>& StepControlRanges();
const StepControlRange& StepControlRangeOf(StepControl control);
// The control's row in the table of controls.
corvanel::ControlId ControlIdOf(StepControl control);

enum class StepDirection { Left, Right };
struct StepMove {
    StepControl control;
    StepDirection direction;
};
// The control and direction a step handler moves; nothing for the other handlers.
std::optional<StepMove> StepMoveFor(KeyHandler handler);

// The new value of a control after a step command, from its current value and range.
float ApplyStep(const StepMove& move, float minimum, float maximum, float value);

// Next selected index of the FFT-size list: (index + 1) mod count; index unchanged when the list
// is empty. With no selection (-1) the first item is chosen.
int NextFftSizeIndex(int index, int count);
