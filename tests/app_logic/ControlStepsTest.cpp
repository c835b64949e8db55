#include "app/logic/ControlSteps.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct StepCase {
    const char* name;
    KeyHandler handler;
    float value;
    float expected;
};

class StepCommand : public testing::TestWithParam<StepCase> {};

// The command moves the control within the range the window gives it.
TEST_P(StepCommand, MovesOneStepAndStopsAtTheBound) {
    const auto move = StepMoveFor(GetParam().handler);
    ASSERT_TRUE(move.has_value());
    const auto& range = StepControlRangeOf(move->control);
    EXPECT_EQ(ApplyStep(*move, range.minimum, range.maximum, GetParam().value),
              GetParam().expected);
}

using H = KeyHandler;
const float kLog200 = static_cast<float>(std::log10(200.0));

INSTANTIATE_TEST_SUITE_P(
    Cases, StepCommand,
    testing::Values(StepCase{"AParamAtMinimum", H::AcbAParamLeftExecute, 0, 0},
                    StepCase{"AParamAtMaximum", H::AcbAParamRightExecute, 70, 70},
                    StepCase{"AParamLeft", H::AcbAParamLeftExecute, 60, 59},
                    StepCase{"AParamRightNearTop", H::AcbAParamRightExecute, 69.5f, 70},
                    StepCase{"PParamLandsOnBound", H::AcbPParamLeftExecute, 1.5f, 1},
                    StepCase{"PParamAtBound", H::AcbPParamLeftExecute, 1, 1},
                    StepCase{"PParamRight", H::AcbPParamRightExecute, 59.9f, 60},
                    StepCase{"PanPotLeftToBound", H::AcbPanpotLeftExecute, -19.5f, -20},
                    StepCase{"PanPotRight", H::AcbPanpotRightExecute, 0, 1},
                    StepCase{"KeyAtTop", H::AcbKeyChangeUpExecute, 7, 7},
                    StepCase{"KeyDownFromZero", H::AcbKeyChangeDownExecute, 0, -1},
                    StepCase{"KeyAtBottom", H::AcbKeyChangeDownExecute, -7, -7},
                    StepCase{"TempoRight", H::AcbTempoRightExecute, 0, 0.02f},
                    StepCase{"TempoLeftToBound", H::AcbTempoLeftExecute, -0.29f, -0.301f},
                    StepCase{"TempoRightToBound", H::AcbTempoRightExecute, 0.3f, 0.301f},
                    StepCase{"FreqLowRight", H::AcbFreqLowRightExecute, kLog200,
                             static_cast<float>(static_cast<double>(kLog200) + 0.1)},
                    StepCase{"FreqLowAtMinimum", H::AcbFreqLowLeftExecute, 1, 1},
                    StepCase{"FreqHighToTop", H::AcbFreqHighRightExecute, 4.3f, 4.380211353302002f},
                    StepCase{"FreqLowToItsTop", H::AcbFreqLowRightExecute, 4.3f,
                             4.380210876464844f},
                    StepCase{"FreqHighLeft", H::AcbFreqHighLeftExecute, 2, 1.9f}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(StepRules, TempoStepsGiveTheExpectedSpeedFactors) {
    float v = StepRight(0.301f, 0, 0.02);
    EXPECT_NEAR(std::pow(10.0, v), 1.0471, 1e-4); // within the tempo dead zone
    v = StepRight(0.301f, v, 0.02);
    EXPECT_NEAR(std::pow(10.0, v), 1.0965, 1e-4);
}

TEST(StepRules, FreqStepMultipliesTheEdgeByATenthDecade) {
    const float before = kLog200;
    const float after = StepRight(4.380210876464844f, before, 0.1);
    EXPECT_NEAR(std::pow(10.0, after) / std::pow(10.0, before), std::pow(10.0, 0.1), 1e-5);
}

// The arithmetic is double on the float value, stored back as float: the sum is rounded once.
TEST(StepRules, SumIsTakenInDoubleAndRoundedOnce) {
    const float value = 0.04f;
    const auto expected = static_cast<float>(static_cast<double>(value) + 0.02);
    EXPECT_EQ(StepRight(1, value, 0.02), expected);
    EXPECT_EQ(StepLeft(-1, value, 0.02), static_cast<float>(static_cast<double>(value) - 0.02));
}

TEST(StepRules, ValueOutsideTheRangeIsNotMovedFurther) {
    EXPECT_EQ(StepLeft(0, -3, 1), -3);
    EXPECT_EQ(StepRight(0, 3, 1), 3);
}

TEST(StepMoves, OnlyTheStepHandlersMoveAControl) {
    EXPECT_FALSE(StepMoveFor(H::AcbFFTSizeExecute).has_value());
    EXPECT_FALSE(StepMoveFor(H::Panel1Click).has_value());
    EXPECT_FALSE(StepMoveFor(H::AcbEnableExecute).has_value());
    int steppers = 0;
    for (const auto& a : KeyActions())
        steppers += StepMoveFor(a.handler).has_value() ? 1 : 0;
    EXPECT_EQ(steppers, 14); // seven controls, two directions
}

TEST(FftSizeCycle, ThreeStepsReturnToTheStart) {
    for (int start = 0; start < 3; ++start) {
        int index = start;
        for (int i = 0; i < 3; ++i)
            index = NextFftSizeIndex(index, 3);
        EXPECT_EQ(index, start);
    }
    EXPECT_EQ(NextFftSizeIndex(1, 3), 2);
    EXPECT_EQ(NextFftSizeIndex(2, 3), 0);
    EXPECT_EQ(NextFftSizeIndex(-1, 3), 0);
    EXPECT_EQ(NextFftSizeIndex(-1, 0), -1);
}

} // namespace
