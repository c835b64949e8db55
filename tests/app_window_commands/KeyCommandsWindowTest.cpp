// The 33 keyboard commands sent as key presses to the active window: each reaches its
// handler, keypad digits do nothing, steps stop at the bounds, the FFT size cycles and the
// resets ask first.
#include "tests/support/window/FormFixture.h"
#include "tests/app_window_commands/KeyEvents.h"
#include "tests/support/Signals.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Wav.h"

#include "app/widgets/CaptionPanel.h"
#include "app/logic/ControlSteps.h"
#include "app/widgets/FloatTrackBar.h"
#include "app/logic/ParameterResets.h"
#include "app/widgets/PictureButton.h"
#include "app/widgets/ToggleSwitch.h"

#include "audio/include/bass.h"
#include "dsp/ReduceParams.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>

#include <cmath>
#include <string>

using namespace corvanel;
using corvanel::dialogs::PromptAnswer;
using corvanel::dialogs::PromptIcon;

namespace {

// Counts the key presses that reach a widget after the application's filters.
class KeyPressCounter : public QObject {
  public:
    int presses = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress)
            ++presses;
        return false;
    }
};

QString Question(ResetGroup group) {
    const std::string_view q = ResetRuleOf(group).question;
    return QString::fromUtf8(q.data(), qsizetype(q.size()));
}

// Mid-range values, so that a step either way is visible.
void PutStepControlsMidway(TForm1& form) {
    form.TrackAParam->SetValue(30);
    form.TrackPParam->SetValue(20);
    form.TrackPanPot->SetValue(0);
    form.SpinKeyChange->setValue(0);
    form.TrackTempo->SetValue(0);
    form.Freqbar1->SetValue(2.5f);
    form.Freqbar2->SetValue(4.0f);
}

class EveryCommand : public CommandTest, public ::testing::WithParamInterface<std::size_t> {
  protected:
    const KeyAction& Action() const { return KeyActions()[GetParam()]; }
};

// The key press goes to the widget that has the focus, here the path box: the command still
// runs first, and the text box does not see the key.
TEST_P(EveryCommand, ReachesItsHandler) {
    const KeyAction& action = Action();
    const KeyHandler handler = action.handler;
    PutStepControlsMidway(*form);
    const corvanel::test::TempFolder dir;
    if (handler == KeyHandler::Button4Click) {
        // Pausing needs something playing.
        corvanel::test::WriteWav(dir / "pause.wav",
                                 corvanel::test::StereoSines(3 * 44100, 44100, 440, 660, 8000), 2,
                                 44100);
        form->Edit1->setText(QString::fromStdString((dir / "pause.wav").string()));
        form->ProcessingButtonClick(form->ProcessingButton);
        ASSERT_EQ(BASS_ChannelIsActive(form->dwFxStream()), BASS_ACTIVE_PLAYING);
    }
    form->Edit1->setFocus();
    const QString pathBefore = form->Edit1->text();
    const bool enableBefore = form->Switch1->IsChecked();
    const bool inverseBefore = form->Switch2->IsChecked();
    const int fftBefore = form->PopboxFFT->currentIndex();

    KeyPressCounter reachedTheBox;
    form->Edit1->installEventFilter(&reachedTheBox);

    Press(form->Edit1, action.storedKey);

    EXPECT_EQ(reachedTheBox.presses, 0);
    EXPECT_EQ(form->Edit1->text(), pathBefore);
    if (const std::optional<StepMove> move = StepMoveFor(handler)) {
        const StepControlRange& range = StepControlRangeOf(move->control);
        const double sign = move->direction == StepDirection::Right ? 1 : -1;
        const auto barValue = [&](float midway) {
            return static_cast<float>(midway + sign * range.step);
        };
        switch (move->control) {
        case StepControl::TrackAParam:
            EXPECT_EQ(form->TrackAParam->Value(), barValue(30));
            EXPECT_EQ(VRAParam.load(), double(barValue(30)));
            break;
        case StepControl::TrackPParam:
            EXPECT_EQ(form->TrackPParam->Value(), barValue(20));
            EXPECT_EQ(VRPParam.load(), double(barValue(20)));
            break;
        case StepControl::TrackPanPot:
            EXPECT_EQ(form->TrackPanPot->Value(), barValue(0));
            EXPECT_EQ(VRPanPot.load(), double(barValue(0)));
            break;
        case StepControl::SpinKeyChange:
            EXPECT_EQ(form->SpinKeyChange->value(), sign);
            EXPECT_EQ(VRKeyChange.load(), sign);
            break;
        case StepControl::TrackTempo:
            EXPECT_EQ(form->TrackTempo->Value(), barValue(0));
            break;
        case StepControl::Freqbar1:
            EXPECT_EQ(form->Freqbar1->Value(), barValue(2.5f));
            EXPECT_EQ(VRBand1.load(), BandEdgeFromBar(barValue(2.5f)));
            break;
        case StepControl::Freqbar2:
            EXPECT_EQ(form->Freqbar2->Value(), barValue(4.0f));
            EXPECT_EQ(VRBand2.load(), BandEdgeFromBar(barValue(4.0f)));
            break;
        }
        return;
    }
    if (const std::optional<ResetGroup> group = ResetGroupFor(handler)) {
        EXPECT_EQ(prompts->asked, QStringList{Question(*group)});
        EXPECT_EQ(prompts->icons.value(0), PromptIcon::Information);
        return;
    }
    switch (handler) {
    case KeyHandler::Button1Click:
        EXPECT_EQ(prompts->openDialogs, 1);
        break;
    case KeyHandler::Button2Click:
    case KeyHandler::Button5Click:
        // Without an output file both ask for one first (or say why they cannot).
        EXPECT_EQ(
            static_cast<int>(prompts->requests.size()) + errors.size() + prompts->shown.size(), 1);
        break;
    case KeyHandler::ProcessingButtonClick:
        // An empty path is no file any opener takes.
        EXPECT_EQ(errors, QStringList{QStringLiteral("対応していないファイル形式です")});
        break;
    case KeyHandler::Button4Click:
        EXPECT_EQ(BASS_ChannelIsActive(form->dwFxStream()), BASS_ACTIVE_PAUSED);
        break;
    case KeyHandler::AcbEnableExecute:
        EXPECT_NE(form->Switch1->IsChecked(), enableBefore);
        EXPECT_EQ(VREnable.load(), form->Switch1->IsChecked());
        break;
    case KeyHandler::AcbInverseExecute:
        EXPECT_NE(form->Switch2->IsChecked(), inverseBefore);
        EXPECT_EQ(VRInverse.load(), form->Switch2->IsChecked());
        break;
    case KeyHandler::AcbFFTSizeExecute:
        EXPECT_EQ(form->PopboxFFT->currentIndex(), (fftBefore + 1) % 3);
        EXPECT_EQ(VRFFTPoint.load(), FFTPointFromIndex(form->PopboxFFT->currentIndex()));
        break;
    default:
        ADD_FAILURE() << "no check for " << HandlerName(handler);
    }
}

INSTANTIATE_TEST_SUITE_P(AllThirtyThree, EveryCommand,
                         ::testing::Range<std::size_t>(0, kKeyActionCount),
                         [](const ::testing::TestParamInfo<std::size_t>& p) {
                             return std::string(KeyActions()[p.param].action);
                         });

TEST_F(CommandTest, KeypadDigitsRunNoCommand) {
    PutStepControlsMidway(*form);
    for (int d = 0; d <= 9; ++d) {
        // XKB codes of the keypad digits 0 .. 9.
        static constexpr quint32 kKeypad[10] = {90, 87, 88, 89, 83, 84, 85, 79, 80, 81};
        const quint32 scan = kKeypad[d];
        for (Qt::KeyboardModifiers mods :
             {Qt::ControlModifier | Qt::KeypadModifier,
              Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier}) {
            Press(form.get(), RealKey{Qt::Key_0 + d, mods, scan});
        }
    }
    EXPECT_EQ(form->TrackAParam->Value(), 30.0f);
    EXPECT_EQ(form->TrackPParam->Value(), 20.0f);
    EXPECT_EQ(form->TrackPanPot->Value(), 0.0f);
    EXPECT_EQ(form->SpinKeyChange->value(), 0.0);
    EXPECT_EQ(form->TrackTempo->Value(), 0.0f);
    EXPECT_TRUE(prompts->asked.isEmpty());
}

TEST_F(CommandTest, KeysOfAnInactiveWindowRunNoCommand) {
    PutStepControlsMidway(*form);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    Press(form->Edit1, uint16_t(kKeyCtrl | '2'));
    EXPECT_EQ(form->TrackAParam->Value(), 30.0f);
}

struct BoundCase {
    const char* name;
    StepControl control;
    float start;
    uint16_t key;
    int presses;
    float expected;
};

class StepBounds : public CommandTest, public ::testing::WithParamInterface<BoundCase> {};

float ValueOf(const TForm1& form, StepControl control) {
    switch (control) {
    case StepControl::TrackAParam:
        return form.TrackAParam->Value();
    case StepControl::TrackPParam:
        return form.TrackPParam->Value();
    case StepControl::TrackPanPot:
        return form.TrackPanPot->Value();
    case StepControl::SpinKeyChange:
        return static_cast<float>(form.SpinKeyChange->value());
    case StepControl::TrackTempo:
        return form.TrackTempo->Value();
    case StepControl::Freqbar1:
        return form.Freqbar1->Value();
    case StepControl::Freqbar2:
        return form.Freqbar2->Value();
    }
    return 0;
}

void SetValue(TForm1& form, StepControl control, float value) {
    switch (control) {
    case StepControl::TrackAParam:
        return form.TrackAParam->SetValue(value);
    case StepControl::TrackPParam:
        return form.TrackPParam->SetValue(value);
    case StepControl::TrackPanPot:
        return form.TrackPanPot->SetValue(value);
    case StepControl::SpinKeyChange:
        return form.SpinKeyChange->setValue(value);
    case StepControl::TrackTempo:
        return form.TrackTempo->SetValue(value);
    case StepControl::Freqbar1:
        return form.Freqbar1->SetValue(value);
    case StepControl::Freqbar2:
        return form.Freqbar2->SetValue(value);
    }
}

TEST_P(StepBounds, GuardOnTheValueAndLandOnTheBound) {
    const BoundCase& c = GetParam();
    SetValue(*form, c.control, c.start);
    ASSERT_EQ(ValueOf(*form, c.control), c.start);
    for (int i = 0; i < c.presses; ++i)
        Press(form.get(), c.key);
    EXPECT_EQ(ValueOf(*form, c.control), c.expected);
}

constexpr uint16_t Ctrl(char c) {
    return uint16_t(kKeyCtrl | c);
}

const float kLowEdge = std::log10(200.0f);

INSTANTIATE_TEST_SUITE_P(
    Cases, StepBounds,
    ::testing::Values(
        BoundCase{"AParamAtZeroStays", StepControl::TrackAParam, 0, Ctrl('1'), 1, 0},
        BoundCase{"AParamAt70Stays", StepControl::TrackAParam, 70, Ctrl('2'), 1, 70},
        BoundCase{"PParamLandsOnOne", StepControl::TrackPParam, 1.5f, Ctrl('3'), 1, 1},
        BoundCase{"PParamThenStays", StepControl::TrackPParam, 1.5f, Ctrl('3'), 2, 1},
        BoundCase{"PanPotLandsOn20", StepControl::TrackPanPot, 19.5f, Ctrl('6'), 2, 20},
        BoundCase{"KeyAt7Stays", StepControl::SpinKeyChange, 7, Ctrl('8'), 1, 7},
        BoundCase{"KeyFromZeroDown", StepControl::SpinKeyChange, 0, Ctrl('7'), 1, -1},
        BoundCase{"TempoOneStepFaster", StepControl::TrackTempo, 0, Ctrl('0'), 1, 0.02f},
        BoundCase{"TempoTwoStepsFaster", StepControl::TrackTempo, 0, Ctrl('0'), 2,
                  float(float(0.02) + 0.02)},
        BoundCase{"TempoLandsOnMinimum", StepControl::TrackTempo, -0.29f, Ctrl('9'), 1, -0.301f},
        BoundCase{"LowEdgeOneStepRight", StepControl::Freqbar1, kLowEdge, uint16_t(kKeyCtrl | 0x73),
                  1, float(double(kLowEdge) + 0.1)},
        BoundCase{"HighEdgeAtMinimumStays", StepControl::Freqbar2, 1, uint16_t(kKeyCtrl | 0x74), 1,
                  1}),
    [](const ::testing::TestParamInfo<BoundCase>& p) { return std::string(p.param.name); });

TEST_F(CommandTest, ATempoStepInsideTheDeadZoneIsNoChangeTheNextIs) {
    Press(form.get(), Ctrl('0'));
    EXPECT_EQ(VRTempo.load(), 0.0); // 10^0.02: +4.7 %
    Press(form.get(), Ctrl('0'));
    EXPECT_NEAR(VRTempo.load(), 9.65, 0.01); // 10^0.04
}

TEST_F(CommandTest, ThreeFftSizeStepsReturnToTheStart) {
    const int start = form->PopboxFFT->currentIndex();
    const std::int32_t startPoints = VRFFTPoint.load();
    QList<std::int32_t> seen;
    for (int i = 0; i < 3; ++i) {
        Press(form.get(), uint16_t(kKeyCtrl | 0x76));
        seen << VRFFTPoint.load();
    }
    EXPECT_EQ(form->PopboxFFT->currentIndex(), start);
    EXPECT_EQ(VRFFTPoint.load(), startPoints);
    EXPECT_EQ(QSet<std::int32_t>(seen.begin(), seen.end()).size(), 3); // all three sizes
    Press(form.get(), uint16_t(kKeyCtrl | kKeyShift | 0x76));          // the same command
    EXPECT_EQ(form->PopboxFFT->currentIndex(), (start + 1) % 3);
}

TEST_F(CommandTest, AKeyResetAnsweredNoChangesNothing) {
    form->SpinKeyChange->setValue(3);
    for (char digit : {'7', '8'}) {
        prompts->asked.clear();
        Press(form.get(), uint16_t(kKeyCtrl | kKeyShift | digit));
        EXPECT_EQ(prompts->asked, QStringList{QStringLiteral("キーを初期値に戻しますか？")});
        EXPECT_EQ(form->SpinKeyChange->value(), 3.0);
        EXPECT_EQ(VRKeyChange.load(), 3.0);
    }
}

struct ResetCase {
    const char* name;
    ResetGroup group;
    PromptAnswer answer;
};

class PanelResets : public CommandTest, public ::testing::WithParamInterface<ResetCase> {};

// Clicked with the mouse on the caption panel; anything but No restores the default and the
// change handler applies it.
TEST_P(PanelResets, ClickAsksThenRestoresUnlessNo) {
    const ResetCase& c = GetParam();
    form->TrackAParam->SetValue(12);
    form->TrackPParam->SetValue(44);
    form->TrackPanPot->SetValue(-7);
    form->SpinKeyChange->setValue(5);
    form->TrackTempo->SetValue(0.2f);
    form->Freqbar1->SetValue(1.5f);
    form->Freqbar2->SetValue(3.5f);
    prompts->answer = c.answer;

    corvanel::window::CaptionPanel* panel =
        form->findChild<corvanel::window::CaptionPanel*>(QString::fromLatin1(
            ResetRuleOf(c.group).panel.data(), qsizetype(ResetRuleOf(c.group).panel.size())));
    ASSERT_NE(panel, nullptr);
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(10, 10));

    EXPECT_EQ(prompts->asked, QStringList{Question(c.group)});
    const bool restored = c.answer != PromptAnswer::No;
    const auto expect = [&](ResetGroup group, float changed, float actual, double param,
                            double paramOfDefault) {
        const ResetRule& rule = ResetRuleOf(group);
        if (restored && group == c.group) {
            EXPECT_EQ(actual, rule.targets[0].value) << rule.panel;
            EXPECT_EQ(param, paramOfDefault) << rule.panel;
        } else {
            EXPECT_EQ(actual, changed) << rule.panel;
        }
    };
    expect(ResetGroup::AParam, 12, form->TrackAParam->Value(), VRAParam.load(), 60);
    expect(ResetGroup::PParam, 44, form->TrackPParam->Value(), VRPParam.load(), 30);
    expect(ResetGroup::PanPot, -7, form->TrackPanPot->Value(), VRPanPot.load(), 0);
    expect(ResetGroup::KeyChange, 5, float(form->SpinKeyChange->value()), VRKeyChange.load(), 0);
    expect(ResetGroup::Tempo, 0.2f, form->TrackTempo->Value(), VRTempo.load(), 0);
    if (restored && c.group == ResetGroup::Band) {
        EXPECT_EQ(form->Freqbar1->Value(), ResetRuleOf(ResetGroup::Band).targets[0].value);
        EXPECT_EQ(form->Freqbar2->Value(), ResetRuleOf(ResetGroup::Band).targets[1].value);
        EXPECT_NEAR(VRBand1.load(), 200, 0.01);
        EXPECT_NEAR(VRBand2.load(), 16500, 0.01);
    } else {
        EXPECT_EQ(form->Freqbar1->Value(), 1.5f);
        EXPECT_EQ(form->Freqbar2->Value(), 3.5f);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PanelResets,
    ::testing::Values(ResetCase{"AParamYes", ResetGroup::AParam, PromptAnswer::Yes},
                      ResetCase{"AParamNo", ResetGroup::AParam, PromptAnswer::No},
                      ResetCase{"PParamYes", ResetGroup::PParam, PromptAnswer::Yes},
                      ResetCase{"PanPotClosedOtherwise", ResetGroup::PanPot, PromptAnswer::Other},
                      ResetCase{"KeyYes", ResetGroup::KeyChange, PromptAnswer::Yes},
                      ResetCase{"TempoYes", ResetGroup::Tempo, PromptAnswer::Yes},
                      ResetCase{"BandYes", ResetGroup::Band, PromptAnswer::Yes},
                      ResetCase{"BandNo", ResetGroup::Band, PromptAnswer::No}),
    [](const ::testing::TestParamInfo<ResetCase>& p) { return std::string(p.param.name); });

} // namespace
