#include "app/logic/PositionDisplay.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

struct ClockCase {
    double seconds;
    const char* text;
};

class ClockLabel : public testing::TestWithParam<ClockCase> {};

TEST_P(ClockLabel, FormatsRoundedSeconds) {
    EXPECT_EQ(ClockLabelText(GetParam().seconds, QChar(u':')).toStdString(), GetParam().text);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, ClockLabel,
    testing::Values(ClockCase{0, "0:00:00"}, ClockCase{-1, "0:00:00"}, ClockCase{kNaN, "0:00:00"},
                    ClockCase{kInf, "0:00:00"}, ClockCase{2.5, "0:00:02"},
                    ClockCase{3.5, "0:00:04"}, ClockCase{0.5, "0:00:00"},
                    ClockCase{59.5, "0:01:00"}, ClockCase{3600 + 120 + 5.4, "1:02:05"},
                    ClockCase{23 * 3600 + 59 * 60 + 59, "23:59:59"},
                    ClockCase{24 * 3600, "0:00:00"}, ClockCase{25 * 3600 + 61, "1:01:01"},
                    ClockCase{86400e9 + 3725, "1:02:05"}),
    [](const auto& row) { return "Seconds" + corvanel::test::CaseName(row.param.seconds); });

TEST(ClockLabelLocale, UsesTheLocalesTimeSeparator) {
    EXPECT_EQ(ClockLabelText(3725, QLocale(QLocale::Japanese, QLocale::Japan)), "1:02:05");
    EXPECT_EQ(ClockLabelText(3725, QLocale(QLocale::Finnish, QLocale::Finland)), "1.02.05");
}

struct BarCase {
    double length;
    double elapsed;
    float maximum;
    float value;
};

class PositionBarRule : public testing::TestWithParam<BarCase> {};

TEST_P(PositionBarRule, FallsBackAndClamps) {
    const auto bar = PositionBarFor(GetParam().length, GetParam().elapsed);
    EXPECT_EQ(bar.maximum, GetParam().maximum);
    EXPECT_EQ(bar.value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PositionBarRule,
    testing::Values(BarCase{-1, 0, 0, 0},                  // no stream: both fail
                    BarCase{kNaN, 0, 0, 0},                //
                    BarCase{180.25, 12.7, 180.25f, 12.7f}, // single precision, not rounded
                    BarCase{180.0, 200.0, 180.0f, 180.0f}, // the control keeps its range
                    BarCase{0.1234567891, 0.1234567891, 0.1234567891f, 0.1234567891f}),
    [](const auto& row) {
        return "Length" + corvanel::test::CaseName(row.param.length) + "_Elapsed" +
               corvanel::test::CaseName(row.param.elapsed);
    });

// A scripted state query that records how often it was asked.
struct ScriptedState {
    std::vector<uint32_t> answers;
    std::size_t asked = 0;
    uint32_t operator()() { return answers.at(asked++); }
};

struct EnableCase {
    const char* name;
    std::vector<uint32_t> answers; // one per question, in the order asked
    bool edit1Empty;
    TransportEnables expected;
};

class TransportRows : public testing::TestWithParam<EnableCase> {};

TEST_P(TransportRows, PicksTheRowOfTheFirstMatchingQuestion) {
    ScriptedState state{GetParam().answers};
    const auto e = TransportEnablesFor(std::ref(state), GetParam().edit1Empty);
    const auto& x = GetParam().expected;
    EXPECT_EQ(state.asked, GetParam().answers.size());
    EXPECT_EQ(e.edit1, x.edit1);
    EXPECT_EQ(e.button1, x.button1);
    EXPECT_EQ(e.processingButton, x.processingButton);
    EXPECT_EQ(e.button4, x.button4);
    EXPECT_EQ(e.button5, x.button5);
}

constexpr TransportEnables kPlaying{false, false, false, true, false};
constexpr TransportEnables kUsable{true, true, true, false, true};
constexpr TransportEnables kIdle{true, true, false, false, false};

INSTANTIATE_TEST_SUITE_P(
    Cases, TransportRows,
    testing::Values(EnableCase{"Playing", {1}, false, kPlaying},
                    EnableCase{"PlayingEmptyBox", {1}, true, kPlaying},
                    EnableCase{"Paused", {3, 3}, false, kUsable},
                    EnableCase{"PausedEmptyBox", {3, 3}, true, kUsable},
                    EnableCase{"Stopped", {0, 0, 0}, false, kUsable},
                    EnableCase{"StoppedEmptyBox", {0, 0, 0}, true, kIdle},
                    EnableCase{"Stalled", {2, 2, 2}, false, kIdle},
                    // The state changes between the questions: each answer counts once.
                    EnableCase{"StalledThenPaused", {2, 3}, false, kUsable},
                    EnableCase{"PlayingEndsBeforeThirdQuestion", {2, 2, 0}, false, kUsable},
                    EnableCase{"StoppedThenPlaying", {0, 1, 1}, false, kIdle}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(PositionTick, StartUpWithEmptyBoxShowsZeroAndOnlyTheFileControls) {
    const auto tick = ComputePositionTick(
        -1, -1, [] { return kChannelStopped; }, true, u':');
    EXPECT_EQ(tick.label, "0:00:00");
    EXPECT_EQ(tick.bar.maximum, 0.0f);
    EXPECT_EQ(tick.bar.value, 0.0f);
    EXPECT_TRUE(tick.enables.edit1 && tick.enables.button1);
    EXPECT_FALSE(tick.enables.processingButton || tick.enables.button4 || tick.enables.button5);
}

TEST(PositionTick, LabelRoundsWhileTheBarKeepsTheExactPosition) {
    const auto tick = ComputePositionTick(
        62.5, 240, [] { return kChannelPlaying; }, false, u':');
    EXPECT_EQ(tick.label, "0:01:02");
    EXPECT_EQ(tick.bar.value, 62.5f);
    EXPECT_EQ(tick.bar.maximum, 240.0f);
    EXPECT_TRUE(tick.enables.button4);
}

} // namespace
