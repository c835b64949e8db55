// The export run to WAV: the file against the offline processor fed the same decoded samples,
// abort, the output choice at the start, a source whose reported length is too long, an
// output that is the source itself, and the run-in-progress guard.
#include "tests/export_run/ExportRunFixture.h"

#include "audio/include/bass.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace corvanel;
using namespace corvanel::test;

namespace {

void ExpectOneBox(const RecordingView& view, char kind, const std::string& text) {
    ASSERT_EQ(view.Boxes.size(), 1u);
    EXPECT_EQ(view.Boxes[0].Kind, kind);
    EXPECT_EQ(view.Boxes[0].Text, text);
}

// ---- The written audio against the processor run offline on the same decoded samples.

struct AlignCase {
    const char* Name;
    bool Reduce;
    std::int32_t FFTPoint;
    int SampleRate;
    double Seconds;
    double KeyChange; // semitones: the tempo stream then resamples
};

class WavExport : public testing::TestWithParam<AlignCase> {};

TEST_P(WavExport, MatchesAlignedOfflineRun) {
    const AlignCase& c = GetParam();
    TempFolder dir;
    const fs::path source = dir / "source.wav";
    const fs::path output = dir / "out.wav";
    const auto pairs = static_cast<std::int64_t>(c.SampleRate * c.Seconds);
    const std::vector<std::int16_t> signal = TestSignal(c.SampleRate, pairs);
    WriteWav(source, signal, 2, c.SampleRate);

    Rig rig;
    rig.Params.VREnable = c.Reduce;
    rig.Params.VRFFTPoint = c.FFTPoint;
    rig.State.Edit2 = output.string();
    rig.State.EncodeProgram = "<WAVE>";
    ChainControls controls;
    controls.Path = source.string();
    controls.KeyChange = c.KeyChange;
    const TExportResult result = rig.Run.Button5Click(controls);
    ASSERT_EQ(result.Outcome, TExportOutcome::Completed) << result.Message;
    ExpectOneBox(rig.View, 'I', "書き出しが完了しました。");

    const std::uint32_t blockBytes =
        TExportRun::BlockBytes(static_cast<std::uint32_t>(c.SampleRate));
    const std::vector<std::uint8_t> decoded = DecodeTempo(source, c.KeyChange, blockBytes);
    const std::vector<std::uint8_t> expected = AlignedReference(
        decoded, static_cast<std::uint32_t>(c.SampleRate), c.Reduce, c.FFTPoint, blockBytes);
    ASSERT_EQ(expected.size(), decoded.size());
    EXPECT_EQ(result.BytesPulled, static_cast<std::int64_t>(decoded.size()));
    EXPECT_EQ(result.BytesWritten, static_cast<std::int64_t>(decoded.size()));

    const WavData written = ReadWav(output);
    EXPECT_EQ(written.SampleRate, c.SampleRate);
    EXPECT_EQ(written.Channels, 2);
    const std::vector<std::uint8_t> got = Bytes(written.Samples);
    ASSERT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected) << "the file differs from the aligned offline run";
    if (!c.Reduce && c.KeyChange == 0.0) {
        EXPECT_TRUE(written.Samples == signal) << "reduction off must give the input back";
    }

    // The bar rose to 100 and went back to 0; the window was covered and uncovered.
    ASSERT_FALSE(rig.View.Progress.empty());
    EXPECT_DOUBLE_EQ(rig.View.Progress.back(), 0.0);
    EXPECT_DOUBLE_EQ(*std::max_element(rig.View.Progress.begin(), rig.View.Progress.end()), 100.0);
    EXPECT_EQ(rig.View.ShowCalls, 1);
    EXPECT_FALSE(rig.View.WritingShown);
    EXPECT_EQ(rig.View.Rewinds, 1);
    EXPECT_EQ(BASS_ChannelIsActive(rig.Chain.dwFxStream()),
              static_cast<DWORD>(BASS_ACTIVE_STOPPED));
}

const AlignCase kAlignCases[] = {
    {"Reduced16384", true, 16384, 44100, 4.3, 0.0},
    {"Reduced8192At22050", true, 8192, 22050, 3.1, 0.0},
    {"Reduced32768", true, 32768, 44100, 2.2, 0.0},
    {"ReducedShorterThanAFrame", true, 32768, 44100, 0.4, 0.0},
    {"ReducedOddBlockAt11025", true, 8192, 11025, 3.7, 0.0},
    {"ReducedWithKeyChange", true, 16384, 44100, 2.5, 2.0},
    {"Unreduced", false, 16384, 44100, 2.7, 0.0},
    {"UnreducedWithKeyChange", false, 16384, 48000, 1.3, -3.0},
};

INSTANTIATE_TEST_SUITE_P(Cases, WavExport, testing::ValuesIn(kAlignCases),
                         [](const testing::TestParamInfo<AlignCase>& p) { return p.param.Name; });

TEST(ExportBlock, HalfASecondOfWholePairs) {
    EXPECT_EQ(TExportRun::BlockBytes(44100), 88200u);
    EXPECT_EQ(TExportRun::BlockBytes(22050), 44100u);
    EXPECT_EQ(TExportRun::BlockBytes(11025), 22048u);
}

// ---- Abort.

TEST(ExportAbort, KeepsAValidShorterFileAndWarnsThenTheNextRunStartsClean) {
    TempFolder dir;
    const fs::path source = dir / "source.wav";
    const fs::path output = dir / "out.wav";
    const std::vector<std::int16_t> signal = TestSignal(44100, 44100 * 8);
    WriteWav(source, signal, 2, 44100);

    Rig rig;
    rig.Params.VREnable = true;
    rig.State.Edit2 = output.string();
    rig.State.EncodeProgram = "<wave>";
    rig.View.OnEvents = [&rig](int count) {
        if (count == 3)
            rig.Run.CornerButton1Click();
    };
    ChainControls controls;
    controls.Path = source.string();
    const TExportResult aborted = rig.Run.Button5Click(controls);
    ASSERT_EQ(aborted.Outcome, TExportOutcome::Aborted) << aborted.Message;
    ExpectOneBox(rig.View, 'W', "書き出しを中断しました。");
    EXPECT_EQ(rig.View.EventCalls, 3);
    // Three blocks of the loop and the one after it, all written, aligned.
    EXPECT_EQ(aborted.BytesPulled, 4 * 88200);
    const WavData partial = ReadWav(output);
    EXPECT_EQ(partial.SampleRate, 44100);
    ASSERT_EQ(partial.Samples.size() * 2, static_cast<std::size_t>(4 * 88200));
    const std::vector<std::uint8_t> all = Bytes(signal);
    const std::vector<std::uint8_t> head(all.begin(), all.begin() + 4 * 88200);
    EXPECT_TRUE(Bytes(partial.Samples) == AlignedReference(head, 44100, true, 16384, 88200));

    // An abort never carries over.
    rig.View = RecordingView{};
    const TExportResult full = rig.Run.Button5Click(controls);
    EXPECT_EQ(full.Outcome, TExportOutcome::Completed) << full.Message;
    EXPECT_FALSE(rig.Run.AbortFlag());
    EXPECT_EQ(ReadWav(output).Samples.size(), signal.size());
}

// ---- The output choice at the start of a run.

struct ChoiceCase {
    const char* Name;
    bool OutputSet;        // Edit2 already holds a path
    bool DialogAccepts;    // the save dialog returns a path (else it is cancelled)
    const char* Extension; // of the chosen or set output
    TExportOutcome Outcome;
    int ChooseCalls;
    const char* Box; // "" when none
};

class ExportChoice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(ExportChoice, AsksOnlyWhenNeeded) {
    const ChoiceCase& c = GetParam();
    TempFolder dir;
    const fs::path source = dir / "song.wav";
    WriteWav(source, TestSignal(44100, 30000), 2, 44100);
    const fs::path output = dir / (std::string("chosen") + c.Extension);

    Rig rig;
    const fs::path binDir = CORVANEL_BIN_DIR;
    if (c.OutputSet) {
        rig.State.EncodeDir = AddonDir();
        AcceptOutputChoice(rig.State, TEncoderCatalogue::LoadFromFile(AddonDir() + "encoder.inf"),
                           output.string());
    }
    rig.View.OnChoose = [&](TObjectEx& sender) {
        corvanel::ChooseOutput(
            rig.State, &sender, binDir, source.string(),
            [&](const TSaveDialogRequest& request) -> std::optional<std::string> {
                EXPECT_EQ(request.FileName, "song_vr.wav");
                if (!c.DialogAccepts)
                    return std::nullopt;
                return output.string();
            });
    };
    ChainControls controls;
    controls.Path = source.string();
    const TExportResult result = rig.Run.Button5Click(controls);

    EXPECT_EQ(result.Outcome, c.Outcome) << result.Message;
    EXPECT_EQ(rig.View.ChooseCalls, c.ChooseCalls);
    if (*c.Box == '\0') {
        EXPECT_TRUE(rig.View.Boxes.empty());
    } else {
        ASSERT_EQ(rig.View.Boxes.size(), 1u);
        EXPECT_EQ(rig.View.Boxes[0].Text, c.Box);
    }
    const bool ran = c.Outcome == TExportOutcome::Completed;
    EXPECT_EQ(rig.View.ShowCalls, ran ? 1 : 0);
    EXPECT_EQ(rig.Chain.dwStream() != 0, ran) << "the chain is rebuilt only by a run that starts";
    EXPECT_EQ(fs::exists(output), ran);
}

const ChoiceCase kChoiceCases[] = {
    {"OutputSetNoDialog", true, false, ".wav", TExportOutcome::Completed, 0,
     "書き出しが完了しました。"},
    {"DialogAccepted", false, true, ".wav", TExportOutcome::Completed, 1,
     "書き出しが完了しました。"},
    {"DialogCancelledSilently", false, false, ".wav", TExportOutcome::Cancelled, 1, ""},
    {"UnlistedExtensionChosen", false, true, ".xyz", TExportOutcome::Failed, 1,
     "エンコーダーが不明です"},
    {"UnlistedExtensionSet", true, false, ".xyz", TExportOutcome::Failed, 0,
     "エンコーダーが不明です"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ExportChoice, testing::ValuesIn(kChoiceCases),
                         [](const testing::TestParamInfo<ChoiceCase>& p) { return p.param.Name; });

// ---- A source that ends before its reported length.

TEST(ExportShortSource, EndsWhenTheTempoStreamEnds) {
    TempFolder dir;
    const fs::path source = dir / "claims_more.wav";
    const std::int64_t pairs = 44100 * 6;
    WriteWav(source, TestSignal(44100, pairs), 2, 44100);
    // The header still claims six seconds; the file holds a little over two.
    const std::int64_t kept = 44100 * 2 + 1234;
    fs::resize_file(source, 44 + static_cast<std::uintmax_t>(kept) * 4);

    for (bool reduce : {false, true}) {
        SCOPED_TRACE(reduce ? "reduced" : "unreduced");
        Rig rig;
        rig.Params.VREnable = reduce;
        rig.State.Edit2 = (dir / "out.wav").string();
        rig.State.EncodeProgram = "<WAVE>";
        // A run that kept pumping would be stopped here, and then fail the outcome check.
        rig.View.OnEvents = [&rig](int count) {
            if (count > 200)
                rig.Run.CornerButton1Click();
        };
        ChainControls controls;
        controls.Path = source.string();
        const TExportResult result = rig.Run.Button5Click(controls);
        EXPECT_EQ(result.Outcome, TExportOutcome::Completed) << result.Message;
        EXPECT_LE(rig.View.EventCalls, 6);
        EXPECT_EQ(ReadWav(dir / "out.wav").Samples.size(), static_cast<std::size_t>(kept * 2));
    }
}

// ---- An output that is the source itself.

struct SameCase {
    const char* Name;
    std::function<fs::path(const fs::path& source)> Output;
};

class ExportOntoSource : public testing::TestWithParam<SameCase> {};

TEST_P(ExportOntoSource, IsRefusedBeforeAnythingStarts) {
    TempFolder dir;
    const fs::path source = dir / "song.wav";
    WriteWav(source, TestSignal(44100, 44100), 2, 44100);
    const std::string before = ReadFile(source);

    Rig rig;
    rig.State.Edit2 = GetParam().Output(source).string();
    rig.State.EncodeProgram = "<WAVE>";
    ChainControls controls;
    controls.Path = source.string();
    const TExportResult result = rig.Run.Button5Click(controls);

    EXPECT_EQ(result.Outcome, TExportOutcome::Failed);
    ExpectOneBox(rig.View, 'E', "出力先が入力ファイルと同じです。");
    EXPECT_EQ(rig.View.ShowCalls, 0);
    EXPECT_EQ(rig.Chain.dwStream(), 0u);
    EXPECT_TRUE(ReadFile(source) == before) << "the source was touched";
}

const SameCase kSameCases[] = {
    {"SamePath", [](const fs::path& s) { return s; }},
    {"ThroughDotDot",
     [](const fs::path& s) {
         return s.parent_path() / ".." / s.parent_path().filename() / s.filename();
     }},
    {"ThroughDoubledSeparator",
     [](const fs::path& s) {
         return fs::path(s.parent_path().string() + "//" + s.filename().string());
     }},
    {"SymbolicLink",
     [](const fs::path& s) {
         const fs::path link = s.parent_path() / "link.wav";
         fs::create_symlink(s, link);
         return link;
     }},
    {"HardLink",
     [](const fs::path& s) {
         const fs::path link = s.parent_path() / "hard.wav";
         fs::create_hard_link(s, link);
         return link;
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, ExportOntoSource, testing::ValuesIn(kSameCases),
                         [](const testing::TestParamInfo<SameCase>& p) { return p.param.Name; });

// ---- No usable source; the run in progress.

TEST(ExportNoSource, ShowsTheChainsMessageAfterTheCleanUpAndWritesNothing) {
    TempFolder dir;
    Rig rig;
    rig.State.Edit2 = (dir / "out.wav").string();
    rig.State.EncodeProgram = "<WAVE>";
    const TExportResult result = rig.Run.Button5Click(ChainControls{});
    EXPECT_EQ(result.Outcome, TExportOutcome::Failed);
    ExpectOneBox(rig.View, 'E', "対応していないファイル形式です");
    EXPECT_EQ(rig.View.ShowCalls, 1);
    EXPECT_FALSE(rig.View.WritingShown);
    EXPECT_EQ(rig.View.Rewinds, 1);
    EXPECT_FALSE(fs::exists(dir / "out.wav"));
}

TEST(ExportInProgress, RefusesASecondRunWhileItPumpsEvents) {
    TempFolder dir;
    const fs::path source = dir / "song.wav";
    WriteWav(source, TestSignal(44100, 44100 * 2), 2, 44100);
    Rig rig;
    rig.State.Edit2 = (dir / "out.wav").string();
    rig.State.EncodeProgram = "<WAVE>";
    ChainControls controls;
    controls.Path = source.string();
    std::vector<TExportOutcome> nested;
    std::vector<bool> running;
    rig.View.OnEvents = [&](int) {
        running.push_back(rig.Run.Running());
        nested.push_back(rig.Run.Button5Click(controls).Outcome);
    };
    EXPECT_FALSE(rig.Run.Running());
    const TExportResult result = rig.Run.Button5Click(controls);
    EXPECT_EQ(result.Outcome, TExportOutcome::Completed) << result.Message;
    EXPECT_FALSE(rig.Run.Running());
    ASSERT_FALSE(nested.empty());
    for (std::size_t i = 0; i < nested.size(); ++i) {
        EXPECT_TRUE(running[i]);
        EXPECT_EQ(nested[i], TExportOutcome::Busy);
    }
    EXPECT_EQ(rig.View.Boxes.size(), 1u);
}

} // namespace
