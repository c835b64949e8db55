#include "app/logic/ParameterResets.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

// Records what a reset did to the window.
struct FakeWindow {
    bool answerNo = false;
    std::vector<std::string> questions;
    std::vector<std::pair<StepControl, float>> sets;
    std::vector<std::string> log; // sets and handler runs, in order

    ResetHooks Hooks() {
        return {[this](std::string_view q) {
                    questions.emplace_back(q);
                    return !answerNo;
                },
                [this](StepControl c, float v) {
                    sets.emplace_back(c, v);
                    log.push_back("set " + std::string(StepControlRangeOf(c).name));
                },
                [this](std::string_view h) { log.emplace_back(h); }};
    }
};

struct ResetCase {
    const char* name;
    ResetGroup group;
    const char* question;
    std::vector<std::pair<StepControl, float>> sets;
    std::vector<std::string> log;
};

class Reset : public testing::TestWithParam<ResetCase> {};

TEST_P(Reset, AsksThenRestoresDefaultsAndRunsTheChangeHandlers) {
    FakeWindow w;
    EXPECT_TRUE(RunReset(GetParam().group, w.Hooks()));
    ASSERT_EQ(w.questions.size(), 1u);
    EXPECT_EQ(w.questions[0], GetParam().question);
    EXPECT_EQ(w.sets, GetParam().sets);
    EXPECT_EQ(w.log, GetParam().log);
}

TEST_P(Reset, AnsweredNoChangesNothing) {
    FakeWindow w;
    w.answerNo = true;
    EXPECT_FALSE(RunReset(GetParam().group, w.Hooks()));
    EXPECT_EQ(w.questions.size(), 1u);
    EXPECT_TRUE(w.log.empty());
}

using C = StepControl;
using G = ResetGroup;
using H = KeyHandler;
const float kLow = static_cast<float>(std::log10(200.0));
const float kHigh = static_cast<float>(std::log10(16500.0));

INSTANTIATE_TEST_SUITE_P(Cases, Reset,
                         testing::Values(ResetCase{"AParam",
                                                   G::AParam,
                                                   "振幅パラメーターを初期値に戻しますか？",
                                                   {{C::TrackAParam, 60}},
                                                   {"set TrackAParam", "TrackAParamChange"}},
                                         ResetCase{"PParam",
                                                   G::PParam,
                                                   "位相パラメーターを初期値に戻しますか？",
                                                   {{C::TrackPParam, 30}},
                                                   {"set TrackPParam", "TrackPParamChange"}},
                                         ResetCase{"PanPot",
                                                   G::PanPot,
                                                   "定位を初期値に戻しますか？",
                                                   {{C::TrackPanPot, 0}},
                                                   {"set TrackPanPot", "TrackPanPotChange"}},
                                         ResetCase{"KeyChange",
                                                   G::KeyChange,
                                                   "キーを初期値に戻しますか？",
                                                   {{C::SpinKeyChange, 0}},
                                                   {"set SpinKeyChange", "SpinKeyChangeChange"}},
                                         ResetCase{"Tempo",
                                                   G::Tempo,
                                                   "テンポを初期値に戻しますか？",
                                                   {{C::TrackTempo, 0}},
                                                   {"set TrackTempo", "TrackTempoChange"}},
                                         ResetCase{"Band",
                                                   G::Band,
                                                   "対象バンドを初期値に戻しますか？",
                                                   {{C::Freqbar1, kLow}, {C::Freqbar2, kHigh}},
                                                   {"set Freqbar1", "set Freqbar2",
                                                    "Freqbar1Change", "Freqbar2Change"}}),
                         corvanel::test::ByNameField);

TEST(ResetKeys, BothDigitsOfAGroupRunTheSameReset) {
    for (const auto& a : KeyActions()) {
        const auto group = ResetGroupFor(a.handler);
        const bool isReset = a.action.starts_with("AcbReset");
        EXPECT_EQ(group.has_value(), isReset) << a.action;
        if (group) {
            EXPECT_EQ(ResetRuleOf(*group).handler, HandlerName(a.handler)) << a.action;
        }
    }
    EXPECT_EQ(ResetRuleOf(*ResetGroupFor(H::Panel4Click)).question, "キーを初期値に戻しますか？");
}

TEST(ResetDefaults, BandDefaultsGiveTheStartUpEdges) {
    const auto& band = ResetRuleOf(G::Band);
    EXPECT_NEAR(std::pow(10.0f, band.targets[0].value), 200.0, 1e-3);
    EXPECT_NEAR(std::pow(10.0f, band.targets[1].value), 16500.0, 1e-2);
}

} // namespace

namespace {

// The resets restore exactly the controls the table marks as reset, each once.
TEST(ResetDefaults, TheResetControlsAreTheTablesResettableRows) {
    std::vector<corvanel::ControlId> reset;
    for (const ResetRule& rule : ResetRules())
        for (std::size_t i = 0; i < rule.targetCount; ++i)
            reset.push_back(ControlIdOf(rule.targets[i].control));
    std::sort(reset.begin(), reset.end());
    std::vector<corvanel::ControlId> resettable;
    for (const corvanel::ControlRow& row : corvanel::ControlRows())
        if (row.Resets)
            resettable.push_back(row.Id);
    EXPECT_EQ(reset, resettable);
}

} // namespace
