// What a batch plans to write, how its files are spread over workers, and what it shows.
#include "cli/BatchPlan.h"
#include "cli/JobRunner.h"
#include "cli/ProgressDisplay.h"
#include "cli/TerminalText.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

namespace corvanel::cli {
namespace {

namespace fs = std::filesystem;

TEST(OutputName, ExtensionReplacedBySuffixAndFormat) {
    struct Case {
        const char* Input;
        const char* Ext;
        const char* Name;
    };
    const Case cases[] = {
        {"song.mp3", ".wav", "song_vr.wav"},     {"/a/b/song.MP3", ".flac", "song_vr.flac"},
        {"dir.d/noext", ".wav", "noext_vr.wav"}, {"a.b.c.ogg", ".opus", "a.b.c_vr.opus"},
        {"曲.m4a", ".mp3", "曲_vr.mp3"},         {".hidden", ".wav", "_vr.wav"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OutputNameFor(c.Input, c.Ext), c.Name) << c.Input;
}

class BatchPlanTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(FDir / "a");
        fs::create_directories(FDir / "b");
    }
    test::TempFolder FFolder;
    const fs::path FDir = FFolder.Path();
    std::string P(const std::string& rel) const { return (FDir / rel).string(); }
    void Touch(const std::string& rel) const { std::ofstream(FDir / rel) << "x"; }
};

TEST_F(BatchPlanTest, BesideEachInputOrInTheOutDir) {
    TCliOptions o;
    o.Inputs = {P("a/one.mp3"), P("b/two.wav")};
    auto plan = PlanBatch(o, ".wav");
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0].Output, P("a/one_vr.wav"));
    EXPECT_EQ(plan[1].Output, P("b/two_vr.wav"));
    EXPECT_EQ(plan[0].Error + plan[1].Error, "");

    o.OutDir = P("out");
    plan = PlanBatch(o, ".mp3");
    EXPECT_EQ(plan[0].Output, P("out/one_vr.mp3"));
    EXPECT_EQ(plan[1].Output, P("out/two_vr.mp3"));
}

TEST_F(BatchPlanTest, AnExistingOutputFailsThatFileUnlessForced) {
    Touch("a/one_vr.wav");
    TCliOptions o;
    o.Inputs = {P("a/one.mp3"), P("a/two.mp3")};
    auto plan = PlanBatch(o, ".wav");
    EXPECT_NE(plan[0].Error.find("exists (--force overwrites it)"), std::string::npos);
    EXPECT_EQ(plan[1].Error, "");
    o.Force = true;
    plan = PlanBatch(o, ".wav");
    EXPECT_EQ(plan[0].Error, "");
}

TEST_F(BatchPlanTest, NeverWritesOverAnInputEvenWhenForced) {
    Touch("a/x_vr.wav");
    TCliOptions o;
    o.Force = true;
    // The second input's output is the first input, spelt another way.
    o.Inputs = {P("a/x_vr.wav"), P("b/../a/x.wav")};
    auto plan = PlanBatch(o, ".wav");
    EXPECT_EQ(plan[0].Error, "");
    EXPECT_NE(plan[1].Error.find("is an input of this batch"), std::string::npos);

    TCliOptions single;
    single.Force = true;
    single.Inputs = {P("a/x_vr.wav")};
    single.Output = P("a/./x_vr.wav");
    EXPECT_NE(PlanBatch(single, ".wav")[0].Error.find("input"), std::string::npos);
}

TEST_F(BatchPlanTest, TwoInputsWithOneOutputName) {
    TCliOptions o;
    o.OutDir = P("out");
    o.Inputs = {P("a/song.mp3"), P("b/song.ogg"), P("b/other.ogg")};
    const auto plan = PlanBatch(o, ".wav");
    EXPECT_EQ(plan[0].Error, "");
    EXPECT_NE(plan[1].Error.find("already writes"), std::string::npos);
    EXPECT_EQ(plan[2].Error, "");
}

TEST(OutputFormat, FromTheCatalogue) {
    const auto catalogue = TEncoderCatalogue::FromBytes(
        "[EXTENSION]\n<WAVE>=.wav\nlame=.mp3\nnothere=.ogg\n[ENCODERS]\n<WAVE>=WAV\n");
    const test::TempFolder folder;
    const fs::path dir = folder.Path() / "";
    std::ofstream(dir / "lame") << "#!/bin/sh\n";
    const std::string encodeDir = dir.string();

    struct Case {
        std::optional<std::string> Output;
        std::optional<std::string> Format;
        const char* Ext;
        const char* Program;
        const char* ErrorPart; // "" none
        bool Missing;
    };
    const Case cases[] = {
        {{}, {}, ".wav", "<WAVE>", "", false},
        {{}, "mp3", ".mp3", "lame", "", false},
        {{}, "MP3", ".MP3", "lame", "", false},
        {"x/y.Mp3", {}, ".Mp3", "lame", "", false},
        {"x/y.mp3", "mp3", ".mp3", "lame", "", false},
        {"x/y.mp3", "wav", ".mp3", "", "does not end in .wav", false},
        {"x/noext", {}, "", "", "needs an extension", false},
        {{}, "aiff", ".aiff", "", "lists no encoder for .aiff (it lists wav, mp3, ogg)", false},
        {{}, "ogg", ".ogg", "nothere", "", true},
    };
    for (const auto& c : cases) {
        TCliOptions o;
        o.Output = c.Output;
        o.Format = c.Format;
        const TOutputFormat f = ChooseOutputFormat(o, catalogue, encodeDir);
        const std::string label = c.Output.value_or("") + "|" + c.Format.value_or("");
        EXPECT_EQ(f.Extension, c.Ext) << label;
        if (*c.ErrorPart != 0) {
            EXPECT_NE(f.Error.find(c.ErrorPart), std::string::npos) << label << ": " << f.Error;
            continue;
        }
        EXPECT_EQ(f.Error, "") << label;
        EXPECT_EQ(f.EncodeProgram, c.Program) << label;
        EXPECT_EQ(!f.Missing.empty(), c.Missing) << label;
    }
}

TEST(JobRunnerTest, EveryFileOnceWithItsOwnResult) {
    for (int workers : {1, 2, 5}) {
        std::mutex lock;
        std::multiset<std::size_t> seen;
        std::atomic<int> running{0}, most{0};
        const std::atomic<bool> stop{false};
        const auto results = RunJobs(
            7, workers,
            [&](std::size_t i) {
                const int now = ++running;
                int m = most.load();
                while (now > m && !most.compare_exchange_weak(m, now)) {
                }
                {
                    std::lock_guard guard(lock);
                    seen.insert(i);
                }
                std::this_thread::yield();
                --running;
                if (i == 3)
                    throw std::runtime_error("broken file");
                return TJobResult{TJobOutcome::Written, std::to_string(i)};
            },
            stop);
        ASSERT_EQ(results.size(), 7u);
        EXPECT_EQ(seen, (std::multiset<std::size_t>{0, 1, 2, 3, 4, 5, 6}));
        EXPECT_LE(most.load(), workers);
        for (std::size_t i = 0; i < 7; ++i) {
            if (i == 3) {
                EXPECT_EQ(results[i].Outcome, TJobOutcome::Failed);
                EXPECT_EQ(results[i].Message, "broken file");
            } else {
                EXPECT_EQ(results[i].Message, std::to_string(i));
            }
        }
    }
}

TEST(JobRunnerTest, NoFileBegunAfterTheStop) {
    std::atomic<bool> stop{false};
    const auto results = RunJobs(
        5, 1,
        [&](std::size_t i) {
            if (i == 1)
                stop = true;
            return TJobResult{TJobOutcome::Aborted, {}};
        },
        stop);
    EXPECT_EQ(results[0].Outcome, TJobOutcome::Aborted);
    EXPECT_EQ(results[1].Outcome, TJobOutcome::Aborted);
    for (std::size_t i = 2; i < 5; ++i)
        EXPECT_EQ(results[i].Outcome, TJobOutcome::NotStarted);
}

TEST(JobRunnerTest, WorkerCount) {
    EXPECT_EQ(WorkerCount(4, 2), 2);
    EXPECT_EQ(WorkerCount(1, 9), 1);
    EXPECT_EQ(WorkerCount(3, 9), 3);
    EXPECT_GE(WorkerCount(0, 64), 1);
    EXPECT_EQ(WorkerCount(0, 1), 1);
}

TEST(ProgressDisplayTest, LinesWithoutATerminal) {
    std::ostringstream out;
    TProgressDisplay display(out, TProgressDisplay::TMode::Lines);
    display.Started(0, "a.wav");
    display.Progress(0, 50.0);
    display.Finished(0, "a.wav", "a_vr.wav", {TJobOutcome::Written, {}, 2.0, 60.0});
    display.Finished(1, "b.mp3", "b_vr.wav",
                     {TJobOutcome::Failed, "対応していないファイル形式です"});
    display.Summary({{TJobOutcome::Written, {}, 2.0, 60.0}, {TJobOutcome::Failed, "x"}}, 4.0);
    EXPECT_EQ(out.str(), "written  a.wav -> a_vr.wav (60.0 s in 2.0 s, 30.0x real time)\n"
                         "FAILED   b.mp3: 対応していないファイル形式です\n"
                         "2 files: 1 written, 1 failed in 4.0 s (15.0x real time in total)\n");
}

TEST(ProgressDisplayTest, QuietShowsOnlyWhatWentWrong) {
    std::ostringstream out;
    TProgressDisplay display(out, TProgressDisplay::TMode::Quiet);
    display.Finished(0, "a.wav", "a_vr.wav", {TJobOutcome::Written, {}, 1.0, 1.0});
    display.Finished(1, "b.wav", "b_vr.wav", {TJobOutcome::Aborted, "stopped"});
    display.Summary({{TJobOutcome::Written, {}}, {TJobOutcome::Aborted, {}}}, 1.0);
    EXPECT_EQ(out.str(), "aborted  b.wav: stopped\n");
}

TEST(ProgressDisplayTest, TerminalBarsAreRedrawnInPlaceAndFinishedLinesKept) {
    std::ostringstream out;
    TProgressDisplay display(out, TProgressDisplay::TMode::Terminal, 60);
    display.Started(0, "/music/first.wav");
    display.Started(1, "second.wav");
    display.Finished(0, "/music/first.wav", "f_vr.wav", {TJobOutcome::Written, {}});
    display.Summary({{TJobOutcome::Written, {}}, {TJobOutcome::Written, {}}}, 1.0);
    const std::string text = out.str();
    // Two bars drawn, erased (cursor up 2), the finished line, the one bar left, erased.
    const auto erase2 = text.find("\x1b[2A\r\x1b[J");
    ASSERT_NE(erase2, std::string::npos) << text;
    const auto finished = text.find("written  /music/first.wav -> f_vr.wav\n", erase2);
    ASSERT_NE(finished, std::string::npos) << text;
    const auto bar = text.find("[------------------------------]   0%  second.wav\n", finished);
    ASSERT_NE(bar, std::string::npos) << text;
    const auto erase1 = text.find("\x1b[1A\r\x1b[J", bar);
    ASSERT_NE(erase1, std::string::npos) << text;
    EXPECT_NE(text.find("2 files: 2 written", erase1), std::string::npos) << text;
}

TEST(ProgressDisplayTest, AFailuresDetailsFollowItsLine) {
    std::ostringstream out;
    TProgressDisplay display(out, TProgressDisplay::TMode::Quiet);
    TJobResult failed{TJobOutcome::Failed, "the encoder ended with exit status 3"};
    failed.Details = "first\nsecond";
    display.Finished(0, "a.wav", "a_vr.mp3", failed);
    EXPECT_EQ(out.str(), "FAILED   a.wav: the encoder ended with exit status 3\n"
                         "         first\n"
                         "         second\n");
}

// A bar that filled a 60-column terminal takes two rows once it is 30 columns wide.
TEST(ProgressDisplayTest, AfterAResizeTheBarsAreErasedByTheRowsTheyNowTake) {
    std::ostringstream out;
    TProgressDisplay display(out, TProgressDisplay::TMode::Terminal, 60);
    int columns = 60;
    display.FollowColumns([&columns] { return columns; });
    display.Started(0, std::string(80, 'x') + ".wav");
    const std::size_t drawn = out.str().size();
    columns = 30;
    display.Started(1, "b.wav");
    const std::string erase = "\x1b[2A\r\x1b[J";
    ASSERT_EQ(out.str().substr(drawn, erase.size()), erase) << out.str();
    std::istringstream redrawn(out.str().substr(drawn + erase.size()));
    for (std::string line; std::getline(redrawn, line);)
        EXPECT_LE(TextColumns(line), 29) << line;
}

struct WidthCase {
    const char* Text;
    int Columns;
    int FitTo;
    const char* Fitted;
};

TEST(TerminalTextTest, ColumnsAndCutting) {
    const WidthCase cases[] = {
        {"song.wav", 8, 4, "song"},
        {"歌のデータ.wav", 14, 5, "歌の"},           // wide characters, never cut in half
        {"ｶﾀｶﾅ", 4, 3, "ｶﾀｶ"},                       // halfwidth forms are narrow
        {"e\xcc\x81te\xcc\x81", 3, 2, "e\xcc\x81t"}, // combining accents take no column
        {"a\xff\xfe"
         "b",
         4, 2, "a\xff"},                 // each invalid byte one column
        {"\xf0\x9f\x8e\xb5x", 3, 1, ""}, // an emoji is wide
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextColumns(c.Text), c.Columns) << c.Text;
        EXPECT_EQ(FitColumns(c.Text, c.FitTo), c.Fitted) << c.Text;
    }
    EXPECT_FALSE(CursorCanMove(nullptr));
    EXPECT_FALSE(CursorCanMove(""));
    EXPECT_FALSE(CursorCanMove("dumb"));
    EXPECT_TRUE(CursorCanMove("xterm-256color"));
}

} // namespace
} // namespace corvanel::cli
