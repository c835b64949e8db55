#include "app/widgets/FloatTrackBar.h"

#include <QAbstractSlider>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using corvanel::window::FloatTrackBar;

namespace {

struct SetCase {
    const char* name;
    float min;
    float max;
    float frequency;
    float start;
    float set;
    float expected;
    bool changed;
};

class FloatTrackBarSet : public ::testing::TestWithParam<SetCase> {};

TEST_P(FloatTrackBarSet, HoldsTheNormalisedFloatAndReportsOnlyADifference) {
    const SetCase& c = GetParam();
    FloatTrackBar bar(Qt::Horizontal);
    bar.SetRange(c.min, c.max);
    bar.SetFrequency(c.frequency);
    bar.SetValue(c.start);
    QSignalSpy changed(&bar, &FloatTrackBar::Changed);

    bar.SetValue(c.set);

    EXPECT_EQ(bar.Value(), c.expected); // exact: the bar holds a float, not a slider position
    EXPECT_EQ(changed.count(), c.changed ? 1 : 0);
}

const float Log10Of200 = static_cast<float>(std::log10(200.0));
const float Freqbar1Max = 4.380210876464844f;
const float Freqbar2Max = 4.380211353302002f;

INSTANTIATE_TEST_SUITE_P(
    Cases, FloatTrackBarSet,
    ::testing::Values(
        SetCase{"continuous_inside", 0, 70, 0, 70, 35.25f, 35.25f, true},
        SetCase{"same_value", 0, 70, 0, 70, 70, 70, false},
        SetCase{"above_max_from_max", 0, 70, 0, 70, 100, 70, false},
        SetCase{"above_max_from_inside", 0, 70, 0, 20, 100, 70, true},
        SetCase{"below_min", -20, 20, 0, 0, -30, -20, true},
        SetCase{"step_rounds_down", 1, 60, 0.1f, 15, 15.04f, 15, false},
        SetCase{"step_rounds_up", 1, 60, 0.1f, 15, 15.06f, 15.1f, true},
        SetCase{"step_then_clamp", 1, 60, 0.1f, 15, 0.5f, 1, true},
        SetCase{"volume_step", 0, 90, 0.1f, 20, 20.349f, 20.3f, true},
        SetCase{"odd_max_held_exactly", 1, Freqbar1Max, 0, 1, 5, Freqbar1Max, true},
        SetCase{"other_odd_max_held_exactly", 1, Freqbar2Max, 0, 1, Freqbar2Max, Freqbar2Max, true},
        SetCase{"log_value_held_exactly", 1, Freqbar1Max, 0, 1, Log10Of200, Log10Of200, true},
        SetCase{"tempo_small_value", -0.301f, 0.301f, 0, 0, 0.02f, 0.02f, true},
        SetCase{"nan_goes_to_min", 0, 90, 0.1f, 20, std::numeric_limits<float>::quiet_NaN(), 0,
                true}),
    [](const ::testing::TestParamInfo<SetCase>& p) { return std::string(p.param.name); });

TEST(FloatTrackBar, TheTwoOddMaximaAreDifferentFloats) {
    EXPECT_NE(Freqbar1Max, Freqbar2Max);
    EXPECT_NEAR(std::pow(10.0, static_cast<double>(Freqbar1Max)), 23999.98, 0.01);
    EXPECT_NEAR(std::pow(10.0, static_cast<double>(Freqbar2Max)), 24000.01, 0.01);
}

TEST(FloatTrackBar, MovingABoundPastTheValuePullsItAlongOnce) {
    FloatTrackBar bar(Qt::Horizontal);
    bar.SetRange(0, 300);
    bar.SetValue(250);
    QSignalSpy changed(&bar, &FloatTrackBar::Changed);

    bar.SetMax(120);
    EXPECT_EQ(bar.Value(), 120);
    EXPECT_EQ(changed.count(), 1);

    bar.SetMax(500); // value inside the new range: nothing to report
    EXPECT_EQ(bar.Value(), 120);
    EXPECT_EQ(changed.count(), 1);

    bar.SetRange(0, 0); // no source: maximum falls back to the minimum
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(changed.count(), 2);
}

TEST(FloatTrackBar, AUserMoveRaisesTheSameSignalWithTheMappedValue) {
    FloatTrackBar bar(Qt::Horizontal);
    bar.SetRange(0, 90);
    bar.SetFrequency(0.1f);
    bar.SetValue(20);
    QSignalSpy changed(&bar, &FloatTrackBar::Changed);

    bar.Slider()->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(bar.Value(), 90);
    bar.Slider()->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(bar.Value(), 0);
    // Stepped bars map one slider position to one step.
    bar.Slider()->setValue(203);
    EXPECT_FLOAT_EQ(bar.Value(), 20.3f);
    EXPECT_EQ(changed.count(), 3);
}

TEST(FloatTrackBar, ProgramSetsKeepTheThumbInStep) {
    FloatTrackBar bar(Qt::Horizontal);
    bar.SetRange(-20, 20);
    bar.SetValue(10);
    EXPECT_EQ(bar.Slider()->value(), bar.Resolution() * 3 / 4);
    bar.SetValue(-20);
    EXPECT_EQ(bar.Slider()->value(), 0);
}

TEST(FloatTrackBar, WithoutTrackingADragReportsOnlyOnRelease) {
    FloatTrackBar bar(Qt::Horizontal);
    bar.SetRange(0, 200);
    bar.SetTracking(false);
    QSignalSpy changed(&bar, &FloatTrackBar::Changed);

    bar.Slider()->setSliderDown(true);
    bar.Slider()->setSliderPosition(bar.Resolution() / 4);
    bar.Slider()->setSliderPosition(bar.Resolution() / 2);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(bar.Value(), 0);

    // A timer moving the bar meanwhile changes the value but not the thumb under the user.
    bar.SetValue(10);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(bar.Slider()->sliderPosition(), bar.Resolution() / 2);

    bar.Slider()->setSliderDown(false);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_FLOAT_EQ(bar.Value(), 100);
}

TEST(FloatTrackBar, WithTrackingEveryDragStepReports) {
    FloatTrackBar bar(Qt::Horizontal, FloatTrackBar::Kind::ThinScrollBar);
    bar.SetRange(1, Freqbar1Max);
    QSignalSpy changed(&bar, &FloatTrackBar::Changed);
    bar.Slider()->setSliderDown(true);
    bar.Slider()->setSliderPosition(100);
    bar.Slider()->setSliderPosition(200);
    EXPECT_EQ(changed.count(), 2);
    bar.Slider()->setSliderPosition(bar.Resolution());
    EXPECT_EQ(bar.Value(), Freqbar1Max);
}

} // namespace
