// corvanel-cli against the window's own export path: the same bytes for the same settings,
// bad inputs failing alone, --force, -j, usage errors and an abort.
#include "cli/BatchPlan.h"
#include "cli/FileExport.h"
#include "controls/Settings.h"
#include "dsp/ReduceParams.h"
#include "dsp/ReduceProc.h"
#include "engine/StreamChain.h"
#include "export/ExportRun.h"
#include "export/OutputChoice.h"
#include "tests/cli/TestFiles.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace corvanel::cli {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int Status = -1;
    std::string Err;
};

class CliExportTest : public ::testing::Test {
  protected:
    test::TempFolder FFolder;
    const fs::path FDir = FFolder.Path();

    fs::path P(const std::string& rel) const { return FDir / rel; }

    // The program itself, in the test's folder; stderr kept.
    CliRun Cli(const std::string& args) const {
        const fs::path err = P("stderr.txt");
        const std::string command = "cd '" + FDir.string() + "' && '" CORVANEL_CLI_PROGRAM "' " +
                                    args + " >/dev/null 2>'" + err.string() + "'";
        const int raw = std::system(command.c_str());
        CliRun run;
        run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.Err = test::ReadFile(err);
        return run;
    }
};

// The window's side: its controls reach the program's parameters through its change
// handlers (switches as they stand, bars widened from single precision, frame length from the
// list item, 10^bar for the band edges), the program's one processor does the work, the
// output is chosen through the save dialog and the export button runs the export.
class WindowView final : public TExportView {
  public:
    void ChooseOutput(TObjectEx&) override { ADD_FAILURE() << "the output was chosen before"; }
    void ShowWritingView(bool) override {}
    void SetProgress(double) override {}
    void ProcessEvents() override {}
    void RewindPosition() override {}
    void ShowInformation(const std::string& text) override { Shown = text; }
    void ShowWarning(const std::string& text) override { Shown = text; }
    void ShowError(const std::string& text) override { Shown = text; }
    std::string Shown;
};

std::string WindowExport(const TSettingsControls& c, int quality, const fs::path& input,
                         const fs::path& output) {
    ReduceProcessor& processor = TheReduceProcessor();
    VREnable = c.Switch1;
    VRInverse = c.Switch2;
    VRAParam = static_cast<double>(static_cast<float>(c.TrackAParam));
    VRPParam = static_cast<double>(static_cast<float>(c.TrackPParam));
    VRPanPot = static_cast<double>(static_cast<float>(c.TrackPanPot));
    processor.ChangeFrameSize(FFTPointFromIndex(c.PopboxFFT));
    VRBand1 = BandEdgeFromBar(static_cast<float>(c.Freqbar1));
    VRBand2 = BandEdgeFromBar(static_cast<float>(c.Freqbar2));

    OutputTap tap;
    StreamChain chain(processor, tap);
    TExportState state;
    ChooseOutput(state, nullptr, CORVANEL_BIN_DIR, input.string(),
                 [&](const TSaveDialogRequest&) { return std::optional(output.string()); });
    state.QualitySelecter = quality;
    WindowView view;
    TExportRun run(chain, state, view);
    ChainControls controls;
    controls.Path = input.string();
    controls.KeyChange = c.SpinKeyChange;
    controls.Tempo = static_cast<float>(c.TrackTempo);
    const TExportResult result = run.Button5Click(controls);
    EXPECT_EQ(result.Outcome, TExportOutcome::Completed) << view.Shown;
    return view.Shown;
}

struct IdentityCase {
    const char* Name;
    const char* Settings; // settings file the window loaded; nullptr: none
    std::function<void(TSettingsControls&)> Window; // then the user's moves
    int Quality;
    const char* Extension;
    const char* CliArgs;
};

void PrintTo(const IdentityCase& c, std::ostream* os) {
    *os << c.Name;
}

class WindowIdentityTest : public CliExportTest,
                           public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(WindowIdentityTest, SameBytesAsTheWindowsExport) {
    const IdentityCase& c = GetParam();
    const fs::path input = P("song.wav");
    WriteWav(input, 2, 44100, 3.0);

    TSettingsControls controls; // the window's start-up controls
    if (c.Settings != nullptr) {
        std::ofstream(P("corvanel.ini")) << c.Settings;
        const auto settings = LoadSettingsFile(P("corvanel.ini"));
        ASSERT_TRUE(settings);
        controls = ControlsFromSettings(*settings, controls);
    }
    if (c.Window)
        c.Window(controls);
    const fs::path windowOut = P(std::string("window") + c.Extension);
    WindowExport(controls, c.Quality, input, windowOut);

    const CliRun run = Cli(std::string(c.CliArgs) + " -d cli song.wav");
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::string windowBytes = test::ReadFile(windowOut);
    const std::string cliBytes = test::ReadFile(P(std::string("cli/song_vr") + c.Extension));
    ASSERT_GT(windowBytes.size(), 1000u);
    EXPECT_TRUE(windowBytes == cliBytes)
        << "window " << windowBytes.size() << " bytes, cli " << cliBytes.size() << " bytes";
}

INSTANTIATE_TEST_SUITE_P(
    Exports, WindowIdentityTest,
    ::testing::Values(
        IdentityCase{"WavReductionOnBandTyped", nullptr,
                     [](TSettingsControls& c) { c.Switch1 = true; }, 1, ".wav", "--band 200 16500"},
        IdentityCase{"Mp3FromTheSettingsFile",
                     "[Parameters]\nEnable=1\nParamAmplitude=35.5\nParamPhase=22.34\n"
                     "ParamPanPot=-3\nFFTPoint=8192\nKeyChange=2\nTempo=12\nFreqRangeA=150\n"
                     "FreqRangeB=9000\n",
                     nullptr, 0, ".mp3", "--settings corvanel.ini -f mp3 -q lo"},
        IdentityCase{"FlacInverseWithPan", nullptr,
                     [](TSettingsControls& c) {
                         c.Switch1 = true;
                         c.Switch2 = true;
                         c.TrackPanPot = 5.0;
                         c.PopboxFFT = 2;
                     },
                     2, ".flac", "--inverse --pan 5 --fft 32768 -f flac -q hi"},
        IdentityCase{"WavReductionOffKeyAndTempo", nullptr,
                     [](TSettingsControls& c) {
                         c.SpinKeyChange = -3.0;
                         c.TrackTempo = static_cast<double>(static_cast<float>(std::log10(0.8)));
                     },
                     1, ".wav", "--off --key -3 --tempo -20"}),
    [](const auto& param) { return std::string(param.param.Name); });

TEST_F(CliExportTest, EachBadInputFailsAloneAndTheBatchGoesOn) {
    WriteWav(P("good1.wav"), 2, 44100, 1.0);
    WriteWav(P("mono.wav"), 1, 44100, 1.0);
    WriteWav(P("six.wav"), 6, 44100, 1.0);
    std::ofstream(P("notes.mp3")) << "not audio at all\n";
    fs::create_directories(P("folder.wav"));
    WriteWav(P("good2.wav"), 2, 22050, 1.0, 2);

    const CliRun run =
        Cli("-j 1 good1.wav mono.wav six.wav notes.mp3 missing.wav folder.wav good2.wav");
    EXPECT_EQ(run.Status, 1);
    const struct {
        const char* Input;
        const char* Message;
    } failures[] = {
        {"mono.wav", "モノラルや5.1ch音源には対応していません.(Ch=1)"},
        {"six.wav", "モノラルや5.1ch音源には対応していません.(Ch=6)"},
        // The window's message for every opening failure, and the system's reason where
        // there is one.
        {"notes.mp3", "対応していないファイル形式です"},
        {"missing.wav", "対応していないファイル形式です（no such file）"},
        {"folder.wav", "対応していないファイル形式です（is a directory）"},
    };
    for (const auto& f : failures) {
        EXPECT_NE(run.Err.find(std::string("FAILED   ") + f.Input + ": " + f.Message + "\n"),
                  std::string::npos)
            << f.Input << "\n"
            << run.Err;
        EXPECT_FALSE(fs::exists(P(OutputNameFor(f.Input, ".wav")))) << f.Input;
    }
    EXPECT_TRUE(fs::exists(P("good1_vr.wav")));
    EXPECT_TRUE(fs::exists(P("good2_vr.wav")));
    EXPECT_NE(run.Err.find("7 files: 2 written, 5 failed"), std::string::npos) << run.Err;
}

TEST_F(CliExportTest, AnUnreadableInputSaysPermissionDenied) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    WriteWav(P("locked.wav"), 2, 44100, 0.5);
    fs::permissions(P("locked.wav"), fs::perms::none);
    const CliRun run = Cli("locked.wav");
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(
        run.Err.find("FAILED   locked.wav: 対応していないファイル形式です（permission denied）"),
        std::string::npos)
        << run.Err;
}

// Standard input to standard output through real pipes: the samples of the file-to-file
// run, after a header that leaves both lengths open.
TEST_F(CliExportTest, PipeInAndOutGivesTheSamplesOfTheFileRun) {
    WriteWav(P("song.wav"), 2, 44100, 2.0);
    ASSERT_EQ(Cli("song.wav -o file.wav").Status, 0);
    const std::string command = "cd '" + FDir.string() +
                                "' && cat song.wav | '" CORVANEL_CLI_PROGRAM
                                "' - -o - 2>stderr.txt | cat > piped.wav";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
    EXPECT_NE(test::ReadFile(P("stderr.txt")).find("written  - -> -"), std::string::npos);

    const std::string file = test::ReadFile(P("file.wav"));
    const std::string piped = test::ReadFile(P("piped.wav"));
    ASSERT_EQ(file.substr(36, 4), "data");
    ASSERT_EQ(piped.size(), file.size());
    EXPECT_EQ(piped.substr(0, 4), "RIFF");
    EXPECT_EQ(piped.substr(4, 4), std::string(4, '\xff'));
    EXPECT_EQ(piped.substr(8, 28), file.substr(8, 28)); // the same format chunk
    EXPECT_EQ(piped.substr(36, 8), "data" + std::string(4, '\xff'));
    EXPECT_TRUE(piped.substr(44) == file.substr(44)) << "the samples differ";
}

TEST_F(CliExportTest, AnExistingOutputIsOverwrittenOnlyWithForce) {
    WriteWav(P("a.wav"), 2, 44100, 1.0);
    WriteWav(P("b.wav"), 2, 44100, 1.0, 3);
    std::ofstream(P("a_vr.wav")) << "keep me";

    CliRun run = Cli("a.wav b.wav");
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("FAILED   a.wav: the output a_vr.wav exists (--force overwrites it)"),
              std::string::npos)
        << run.Err;
    EXPECT_EQ(test::ReadFile(P("a_vr.wav")), "keep me");
    EXPECT_TRUE(fs::exists(P("b_vr.wav")));

    run = Cli("--force a.wav");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(test::ReadFile(P("a_vr.wav")).substr(0, 4), "RIFF");
    EXPECT_EQ(fs::file_size(P("a_vr.wav")), fs::file_size(P("a.wav")));
}

TEST_F(CliExportTest, SeveralJobsWriteTheSameBytesAsOne) {
    std::string inputs;
    for (std::uint32_t i = 1; i <= 3; ++i) {
        const std::string name = "in" + std::to_string(i) + ".wav";
        WriteWav(P(name), 2, 44100, 2.0 + i, i);
        inputs += " " + name;
    }
    const CliRun one = Cli("-j 1 -d one --fft 8192" + inputs);
    ASSERT_EQ(one.Status, 0) << one.Err;
    const CliRun three = Cli("-j 3 -d three --fft 8192" + inputs);
    ASSERT_EQ(three.Status, 0) << three.Err;
    for (int i = 1; i <= 3; ++i) {
        const std::string name = "in" + std::to_string(i) + "_vr.wav";
        const std::string a = test::ReadFile(P("one/" + name));
        EXPECT_GT(a.size(), 44u);
        EXPECT_TRUE(a == test::ReadFile(P("three/" + name))) << name;
    }
}

TEST_F(CliExportTest, UsageErrorsWriteNothing) {
    WriteWav(P("a.wav"), 2, 44100, 0.5);
    const char* cases[] = {
        "",
        "--loud a.wav",
        "-f xyz a.wav",
        "-o x.wav a.wav a.wav",
        "--settings nothere.ini a.wav",
        "--fft 1000 a.wav",
        "-o out.mp3 -f wav a.wav",
    };
    for (const char* args : cases) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.Status, 2) << args << "\n" << run.Err;
        EXPECT_NE(run.Err.find("corvanel-cli: "), std::string::npos) << args;
    }
    EXPECT_FALSE(fs::exists(P("a_vr.wav")));
    EXPECT_FALSE(fs::exists(P("x.wav")));
    EXPECT_EQ(Cli("--help").Status, 0);
}

TEST_F(CliExportTest, AnAbortClosesTheOutputWithWhatWasWritten) {
    WriteWav(P("long.wav"), 2, 44100, 10.0);
    TFileExport job;
    job.Input = P("long.wav").string();
    job.Output = P("long_vr.wav").string();
    job.Controls.Switch1 = true;
    job.EncodeDir = EncoderFolder(CORVANEL_BIN_DIR);
    const auto catalogue = TEncoderCatalogue::LoadFromFile(job.EncodeDir + "encoder.inf");
    const std::atomic<bool> abort{true};
    const TJobResult result = ExportFile(job, catalogue, {}, abort);
    EXPECT_EQ(result.Outcome, TJobOutcome::Aborted);
    const std::string bytes = test::ReadFile(job.Output);
    ASSERT_GT(bytes.size(), 44u);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    // The block before the abort and the one after it, not the whole source.
    EXPECT_LT(bytes.size(), fs::file_size(P("long.wav")) / 2);
    std::uint32_t riffSize = 0;
    std::memcpy(&riffSize, bytes.data() + 4, 4);
    EXPECT_EQ(riffSize + 8, bytes.size()) << "the header was not closed";
}

} // namespace
} // namespace corvanel::cli
