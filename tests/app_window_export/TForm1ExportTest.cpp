// The output choice and the export run through the main window: the save dialog's request and
// the stored choice, the written WAV against a run without a window, MP3 through the shipped
// catalogue, abort, failures, a cancelled choice, closing during a run, and the commands that
// must do nothing while a run pumps events.
#include "tests/export_run/ExportRunFixture.h"
#include "tests/app_window_commands/KeyEvents.h"
#include "tests/support/window/FormFixture.h"

#include "app/window/ApplicationError.h"
#include "app/widgets/BusyIndicator.h"
#include "app/widgets/Decorations.h"
#include "app/widgets/FloatTrackBar.h"
#include "app/widgets/PictureButton.h"
#include "app/window/TForm1.h"
#include "app/widgets/ToggleSwitch.h"

#include "audio/include/bass.h"
#include "dsp/ReduceParams.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

using namespace corvanel;
using namespace corvanel::test;
using corvanel::dialogs::SaveFileRequest;

namespace {

QString Q(const fs::path& file) {
    return QString::fromStdString(file.string());
}

QString U(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// 'I' information, 'W' warning, 'E' error.
char Letter(PromptCall::Kind kind) {
    switch (kind) {
    case PromptCall::Kind::Inform:
        return 'I';
    case PromptCall::Kind::Warn:
        return 'W';
    case PromptCall::Kind::Error:
        return 'E';
    default:
        return '?';
    }
}

// A shown, active main window (keyboard commands act only then) over the shipped encoder
// folder, with a settings file of its own.
class ExportWindowTest : public CommandTest {
  protected:
    void SetUp() override {
        previousSettings = qgetenv("CORVANEL_SETTINGS");
        qputenv("CORVANEL_SETTINGS", QByteArray::fromStdString((dir / "corvanel.ini").string()));
        CommandTest::SetUp();
        form->SetProgramFolder(CORVANEL_BIN_DIR);
    }

    void TearDown() override {
        CommandTest::TearDown();
        qputenv("CORVANEL_SETTINGS", previousSettings);
        EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    }

    // A generated stereo source, put into Edit1.
    fs::path UseSource(double seconds, int rate = 44100) {
        const fs::path file = dir / "song.wav";
        sourcePairs = static_cast<std::int64_t>(seconds * rate);
        WriteWav(file, TestSignal(rate, sourcePairs), 2, rate);
        form->Edit1->setText(Q(file));
        return file;
    }

    // `action` runs inside the run's first event pump.
    void DuringRun(std::function<void()> action) {
        hookRan = false;
        QMetaObject::invokeMethod(
            qApp,
            [this, action] {
                hookRan = true;
                EXPECT_TRUE(form->ExportRunning());
                action();
            },
            Qt::QueuedConnection);
    }

    void ExpectOneBox(char kind, std::string_view text) const {
        const std::vector<PromptCall> boxes = prompts->Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(Letter(boxes[0].kind), kind);
        EXPECT_EQ(boxes[0].text, U(text));
    }

    // The overlay and the progress bar as a run leaves them.
    void ExpectIdleLook() const {
        EXPECT_FALSE(form->WritingView->isVisible());
        EXPECT_FALSE(form->AniIndicator1->IsRunning());
        EXPECT_EQ(form->ProgressBar1->value(), 0);
        EXPECT_FALSE(form->ExportRunning());
    }

    TempFolder dir;
    QByteArray previousSettings;
    std::int64_t sourcePairs = 0;
    bool hookRan = false;
};

// ---- The output choice

TEST_F(ExportWindowTest, SaveDialogRequestAndStoredChoice) {
    form->Edit1->setText(Q(dir / "song.mp3"));
    struct Row {
        const char* Chosen;
        const char* EncodeProgram;
    };
    // The extension picks the encoder without regard to case; one the catalogue does not
    // list leaves it unknown.
    const Row rows[] = {
        {"out.wav", "<WAVE>"}, {"OUT.WAV", "<WAVE>"}, {"out.mp3", "lame"}, {"out.abc", ""}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Chosen);
        prompts->savePath = Q(dir / row.Chosen);
        form->Button2Click(form->Button2);
        ASSERT_FALSE(prompts->requests.empty());
        const SaveFileRequest& asked = prompts->requests.back();
        EXPECT_EQ(asked.fileName, QStringLiteral("song_vr.wav"));
        EXPECT_EQ(asked.defaultExtension, QStringLiteral(".wav"));
        EXPECT_TRUE(asked.filter.startsWith(QStringLiteral("WAV ファイル (無圧縮) (*.wav)|*.wav|")))
            << asked.filter.toStdString();
        EXPECT_EQ(form->Edit2->text(), prompts->savePath);
        EXPECT_EQ(form->ExportState().Edit2, prompts->savePath.toStdString());
        EXPECT_EQ(form->ExportState().EncodeProgram, row.EncodeProgram);
        EXPECT_EQ(form->ExportState().EncodeDir, std::string(CORVANEL_BIN_DIR) + "/addon.win/");
    }

    // A cancelled choice keeps the last accepted one; with no source the name is "_vr.wav".
    form->Edit1->clear();
    prompts->savePath.clear();
    form->Button2Click(form->Button2);
    EXPECT_EQ(prompts->requests.back().fileName, QStringLiteral("_vr.wav"));
    EXPECT_EQ(form->Edit2->text(), Q(dir / "out.abc"));
    EXPECT_EQ(form->ExportState().Edit2, (dir / "out.abc").string());
    EXPECT_TRUE(prompts->Boxes().empty());
}

TEST_F(ExportWindowTest, CancelledChoiceEndsTheRunSilently) {
    UseSource(1.0);
    form->Button5Click(form->Button5);
    EXPECT_EQ(prompts->requests.size(), 1u);
    EXPECT_TRUE(prompts->Boxes().empty());
    EXPECT_TRUE(form->Edit2->text().isEmpty());
    EXPECT_EQ(form->dwStream(), 0u) << "no chain may be built";
    ExpectIdleLook();
}

// ---- The written WAV against the same run without a window

struct WavCase {
    const char* Name;
    bool Reduce;
    double KeyChange;
    float TempoBar;
    int SampleRate;
    double Seconds;
};

void PrintTo(const WavCase& c, std::ostream* out) {
    *out << c.Name;
}

class WindowWavExport : public ExportWindowTest, public ::testing::WithParamInterface<WavCase> {};

TEST_P(WindowWavExport, SameBytesAsTheRunWithoutAWindow) {
    const WavCase& c = GetParam();
    const fs::path source = UseSource(c.Seconds, c.SampleRate);
    form->Switch1->SetChecked(c.Reduce);
    form->SpinKeyChange->setValue(c.KeyChange);
    form->TrackTempo->SetValue(c.TempoBar);
    const fs::path written = dir / "window.wav";
    prompts->savePath = Q(written);

    form->Button5Click(form->Button5);

    ExpectOneBox('I', kExportFinishedMessage);
    EXPECT_EQ(prompts->requests.size(), 1u);
    EXPECT_EQ(form->Edit2->text(), Q(written));
    EXPECT_EQ(form->ExportState().EncodeProgram, "<WAVE>");
    ExpectIdleLook();

    // The run driven directly, on a chain of its own with the window's parameters.
    Rig rig;
    rig.Params.VREnable = VREnable.load();
    rig.Params.VRInverse = VRInverse.load();
    rig.Params.VRAParam = VRAParam.load();
    rig.Params.VRPParam = VRPParam.load();
    rig.Params.VRPanPot = VRPanPot.load();
    rig.Params.VRFFTPoint = VRFFTPoint.load();
    rig.Params.VRKeyChange = VRKeyChange.load();
    rig.Params.VRTempo = VRTempo.load();
    rig.Params.VRBand1 = VRBand1.load();
    rig.Params.VRBand2 = VRBand2.load();
    EXPECT_EQ(rig.Params.VREnable.load(), c.Reduce);
    const fs::path reference = dir / "direct.wav";
    rig.State.Edit2 = reference.string();
    rig.State.EncodeProgram = "<WAVE>";
    rig.State.EncodeDir = AddonDir();
    ChainControls controls;
    controls.Path = source.string();
    controls.KeyChange = c.KeyChange;
    controls.Tempo = c.TempoBar;
    ASSERT_EQ(rig.Run.Button5Click(controls).Outcome, TExportOutcome::Completed);

    const std::string bytes = ReadFile(written);
    EXPECT_GT(ReadWav(written).Samples.size(), 0u);
    EXPECT_EQ(ReadWav(written).SampleRate, c.SampleRate);
    EXPECT_TRUE(bytes == ReadFile(reference)) << "the window's file differs from the direct run's";
}

INSTANTIATE_TEST_SUITE_P(
    Settings, WindowWavExport,
    ::testing::Values(WavCase{"ReductionOn", true, 0.0, 0.0f, 44100, 2.0},
                      WavCase{"ReductionOffKeyUp", false, 2.0, 0.0f, 44100, 1.5},
                      WavCase{"ReductionOnKeyDownFaster", true, -3.0, 0.1f, 22050, 2.0}),
    [](const ::testing::TestParamInfo<WavCase>& row) { return std::string(row.param.Name); });

// ---- MP3 through the shipped catalogue, at two quality levels

struct Decoded {
    DWORD Rate = 0;
    DWORD Channels = 0;
    std::int64_t Pairs = 0;
};

Decoded Decode(const fs::path& file) {
    Decoded d;
    const HSTREAM h = BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, BASS_STREAM_DECODE);
    if (h == 0)
        return d;
    BASS_CHANNELINFO info{};
    BASS_ChannelGetInfo(h, &info);
    d.Rate = info.freq;
    d.Channels = info.chans;
    std::vector<char> block(1 << 16);
    for (;;) {
        const DWORD n = BASS_ChannelGetData(h, block.data(), DWORD(block.size()));
        if (n == static_cast<DWORD>(-1))
            break;
        d.Pairs += n / 4;
    }
    BASS_StreamFree(h);
    return d;
}

TEST_F(ExportWindowTest, Mp3ThroughTheShippedCatalogueAtTheChosenQuality) {
    if (!fs::exists(fs::path(CORVANEL_BIN_DIR) / "addon.win" / "lame"))
        GTEST_SKIP() << "lame is not installed";
    UseSource(3.0);
    form->Switch1->SetChecked(true);
    struct Row {
        int Quality;
        const char* File;
    };
    const Row rows[] = {{0, "low.mp3"}, {2, "high.mp3"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.File);
        prompts->savePath = Q(dir / row.File);
        form->Button2Click(form->Button2);
        ASSERT_EQ(form->ExportState().EncodeProgram, "lame");
        form->QualitySelecter->setCurrentIndex(row.Quality);
        prompts->calls.clear();
        form->Button5Click(form->Button5);
        ExpectOneBox('I', kExportFinishedMessage);
        const Decoded d = Decode(dir / row.File);
        EXPECT_EQ(d.Rate, 44100u);
        EXPECT_EQ(d.Channels, 2u);
        // The decoder trims the encoder's delay and padding; one MP3 frame of slack.
        EXPECT_NEAR(double(d.Pairs), double(sourcePairs), 1152.0);
    }
    // High compression (VBR -V 6) against low compression (320 kbit/s).
    EXPECT_LT(fs::file_size(dir / "low.mp3") * 3 / 2, fs::file_size(dir / "high.mp3"));
}

// ---- Abort, close, failures

TEST_F(ExportWindowTest, AbortKeepsWhatWasWrittenAndTheNextRunStartsClean) {
    UseSource(6.0);
    const fs::path written = dir / "out.wav";
    prompts->savePath = Q(written);
    DuringRun([this] {
        EXPECT_TRUE(form->WritingView->isVisible());
        EXPECT_TRUE(form->AniIndicator1->IsRunning());
        EXPECT_TRUE(form->Label19->isVisible());
        EXPECT_TRUE(form->CornerButton1->hasFocus()) << "keys must not reach covered controls";
        form->CornerButton1->click();
    });
    form->Button5Click(form->Button5);
    EXPECT_TRUE(hookRan);
    ExpectOneBox('W', kExportAbortedMessage);
    EXPECT_TRUE(form->_AbortFlag);
    ExpectIdleLook();
    const auto aborted = std::int64_t(ReadWav(written).Samples.size() / 2);
    EXPECT_GT(aborted, 0);
    EXPECT_LT(aborted, sourcePairs);

    // The same output again, without asking, to the end.
    prompts->calls.clear();
    form->Button5Click(form->Button5);
    ExpectOneBox('I', kExportFinishedMessage);
    EXPECT_FALSE(form->_AbortFlag);
    EXPECT_EQ(prompts->requests.size(), 1u);
    EXPECT_EQ(std::int64_t(ReadWav(written).Samples.size() / 2), sourcePairs);
}

TEST_F(ExportWindowTest, ClosingDuringARunStopsItFirst) {
    UseSource(6.0);
    const fs::path written = dir / "out.wav";
    prompts->savePath = Q(written);
    DuringRun([this] {
        form->close();
        EXPECT_TRUE(form->isVisible()) << "the chain is still in use";
    });
    form->Button5Click(form->Button5);
    EXPECT_TRUE(hookRan);
    ExpectOneBox('W', kExportAbortedMessage);
    EXPECT_FALSE(form->isVisible());
    EXPECT_LT(std::int64_t(ReadWav(written).Samples.size() / 2), sourcePairs);
}

struct FailureCase {
    const char* Name;
    const char* Catalogue; // written to a program folder of the test's own; null: the shipped one
    const char* Chosen;
    const char* Message; // the whole message, or its first line when a reason follows
    bool ReasonFollows;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.Name;
}

class WindowExportFailure : public ExportWindowTest,
                            public ::testing::WithParamInterface<FailureCase> {};

TEST_P(WindowExportFailure, ShownAsAnError) {
    const FailureCase& c = GetParam();
    if (c.Catalogue) {
        const fs::path program = dir / "program";
        fs::create_directories(program / "addon.win");
        std::ofstream(program / "addon.win" / "encoder.inf", std::ios::binary) << c.Catalogue;
        form->SetProgramFolder(program);
    }
    UseSource(1.0);
    const fs::path written = dir / c.Chosen;
    prompts->savePath = Q(written);
    form->Button5Click(form->Button5);

    const std::vector<PromptCall> boxes = prompts->Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, PromptCall::Kind::Error);
    const QString text = boxes[0].text;
    if (c.ReasonFollows) {
        EXPECT_TRUE(text.startsWith(U(c.Message) + QLatin1Char('\n'))) << text.toStdString();
        EXPECT_GT(text.size(), U(c.Message).size() + 1) << "a reason is given";
    } else {
        EXPECT_EQ(text, U(c.Message));
    }
    EXPECT_FALSE(fs::exists(written));
    ExpectIdleLook();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowExportFailure,
    ::testing::Values(FailureCase{"EncoderProgramMissing",
                                  "[ENCODERS]\nnosuch=Nothing\n[EXTENSION]\nnosuch=.xyz\n"
                                  "[PARAMETER-MD]\nnosuch=- <OUTPUT>\n",
                                  "out.xyz", "書き出しに失敗しました。", true},
                      FailureCase{"ExtensionNotListed", nullptr, "out.abc",
                                  "エンコーダーが不明です", false}),
    [](const ::testing::TestParamInfo<FailureCase>& row) { return std::string(row.param.Name); });

// ---- Commands while a run pumps events

// What a play, open, save-to or export command leaves behind.
struct Trace {
    int OpenDialogs;
    std::size_t SaveDialogs;
    std::size_t Boxes;
    HSTREAM Stream;
    HSTREAM FxStream;
    DWORD FxActive;
    bool operator==(const Trace&) const = default;
};

struct CommandCase {
    const char* Name;
    std::function<void(TForm1&)> Act;
};

void PrintTo(const CommandCase& c, std::ostream* out) {
    *out << c.Name;
}

class CommandsDuringARun : public ExportWindowTest,
                           public ::testing::WithParamInterface<CommandCase> {
  protected:
    Trace Now() const {
        return {prompts->openDialogs,    prompts->requests.size(),
                prompts->Boxes().size(), form->dwStream(),
                form->dwFxStream(),      BASS_ChannelIsActive(form->dwFxStream())};
    }
};

TEST_P(CommandsDuringARun, DoNothing) {
    UseSource(1.5);
    const fs::path written = dir / "out.wav";
    prompts->savePath = Q(written);
    DuringRun([this] {
        const Trace before = Now();
        GetParam().Act(*form);
        EXPECT_TRUE(Now() == before) << "the command acted during the run";
    });
    form->Button5Click(form->Button5);
    EXPECT_TRUE(hookRan);
    ExpectOneBox('I', kExportFinishedMessage);
    EXPECT_EQ(std::int64_t(ReadWav(written).Samples.size() / 2), sourcePairs);

    // The same command acts once the run is over.
    const Trace after = Now();
    GetParam().Act(*form);
    EXPECT_FALSE(Now() == after) << "the command does nothing even outside a run";
}

INSTANTIATE_TEST_SUITE_P(
    KeysAndHandlers, CommandsDuringARun,
    ::testing::Values(
        CommandCase{"CtrlP", [](TForm1& f) { Press(f.Edit1, uint16_t(kKeyCtrl | 'P')); }},
        CommandCase{"CtrlO", [](TForm1& f) { Press(f.Edit1, uint16_t(kKeyCtrl | 'O')); }},
        CommandCase{"CtrlS", [](TForm1& f) { Press(f.Edit1, uint16_t(kKeyCtrl | 'S')); }},
        CommandCase{"CtrlW", [](TForm1& f) { Press(f.Edit1, uint16_t(kKeyCtrl | 'W')); }},
        CommandCase{"PlayButton", [](TForm1& f) { f.ProcessingButtonClick(f.ProcessingButton); }},
        CommandCase{"OpenButton", [](TForm1& f) { f.Button1Click(f.Button1); }},
        CommandCase{"SaveToButton", [](TForm1& f) { f.Button2Click(f.Button2); }},
        CommandCase{"ExportButton", [](TForm1& f) { f.Button5Click(f.Button5); }}),
    [](const ::testing::TestParamInfo<CommandCase>& row) { return std::string(row.param.Name); });

} // namespace
