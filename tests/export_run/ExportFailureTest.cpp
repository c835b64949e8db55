// Every way the encoder can fail ends the run with the failure message and its reason, never
// with the completion message: a program that cannot start, an output that cannot be
// created, a program that exits non-zero or stops reading, a disk that is full.
#include "tests/export_run/ExportRunFixture.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace corvanel;
using namespace corvanel::test;

namespace {

// A catalogue entry of one program in dir, with the template for every quality.
void UseProgram(Rig& rig, const fs::path& dir, const std::string& program,
                const std::string& commandTemplate, const fs::path& output) {
    rig.State.EncodeDir = dir.string() + "/";
    rig.State.EncodeProgram = program;
    for (auto& lines : rig.State.Encoders)
        lines = {{program, commandTemplate}};
    rig.State.Edit2 = output.string();
}

// A shell script encoder in dir.
void WriteScript(const fs::path& dir, const std::string& name, const std::string& body) {
    const fs::path file = dir / name;
    std::ofstream(file) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(file, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
}

struct FailCase {
    const char* Name;
    bool Reduce;
    std::function<void(Rig&, const fs::path& dir)> Setup;
    bool NeedsFlac = false;
};

class ExportFailure : public testing::TestWithParam<FailCase> {};

TEST_P(ExportFailure, IsReportedWithItsReason) {
    const FailCase& c = GetParam();
    if (c.NeedsFlac && !fs::exists(AddonDir() + "flac"))
        GTEST_SKIP() << "flac is not installed";
    TempFolder dir;
    const fs::path source = dir / "source.wav";
    WriteWav(source, TestSignal(44100, 44100 * 3), 2, 44100, WavSample::S16, {"T", "A"});

    Rig rig;
    rig.Params.VREnable = c.Reduce;
    c.Setup(rig, dir.Path());
    // A run that never ended would be stopped here and then fail the outcome check.
    rig.View.OnEvents = [&rig](int count) {
        if (count > 100)
            rig.Run.CornerButton1Click();
    };
    ChainControls controls;
    controls.Path = source.string();
    const TExportResult result = rig.Run.Button5Click(controls);

    EXPECT_EQ(result.Outcome, TExportOutcome::Failed);
    ASSERT_EQ(rig.View.Boxes.size(), 1u);
    const Box& box = rig.View.Boxes[0];
    EXPECT_EQ(box.Kind, 'E');
    const std::string head = "書き出しに失敗しました。\n";
    ASSERT_EQ(box.Text.substr(0, head.size()), head) << box.Text;
    EXPECT_GT(box.Text.size(), head.size() + 3) << "no reason given";
    EXPECT_EQ(box.Text, result.Message);
    // The clean-up ran.
    EXPECT_EQ(rig.View.ShowCalls, 1);
    EXPECT_FALSE(rig.View.WritingShown);
    EXPECT_EQ(rig.View.Rewinds, 1);
    if (!rig.View.Progress.empty()) {
        EXPECT_DOUBLE_EQ(rig.View.Progress.back(), 0.0);
    }
    EXPECT_FALSE(rig.Run.Running());
}

const FailCase kFailCases[] = {
    {"MissingProgram", true,
     [](Rig& rig, const fs::path& dir) {
         UseProgram(rig, dir, "nosuchenc", "-o <OUTPUT> -", dir / "out.xyz");
     }},
    {"WaveUnderMissingFolder", false,
     [](Rig& rig, const fs::path& dir) {
         rig.State.EncodeProgram = "<WAVE>";
         rig.State.Edit2 = (dir / "no" / "such" / "folder" / "out.wav").string();
     }},
    {"WaveIntoProc", true,
     [](Rig& rig, const fs::path&) {
         rig.State.EncodeProgram = "<WAVE>";
         rig.State.Edit2 = "/proc/corvanel_export_test.wav";
     }},
    {"WaveOntoFullDisk", true,
     [](Rig& rig, const fs::path&) {
         rig.State.EncodeProgram = "<WAVE>";
         rig.State.Edit2 = "/dev/full";
     }},
    {"WaveOntoFullDiskUnreduced", false,
     [](Rig& rig, const fs::path&) {
         rig.State.EncodeProgram = "<WAVE>";
         rig.State.Edit2 = "/dev/full";
     }},
    {"ProgramOutputUnderMissingFolder", true,
     [](Rig& rig, const fs::path& dir) {
         // The shipped FLAC template: the program starts, cannot create its file, exits 1.
         UseProgram(rig, dir, "flac",
                    "--silent --force-raw-format --endian=little --sign=signed --channels=2 "
                    "--bps=16 --sample-rate=<SFREQ> -f -o <OUTPUT> -",
                    dir / "no" / "such" / "out.flac");
         fs::create_symlink(AddonDir() + "flac", dir / "flac");
     },
     true},
    {"ProgramExitsNonZero", true,
     [](Rig& rig, const fs::path& dir) {
         WriteScript(dir, "failenc", "cat > /dev/null\nexit 3");
         UseProgram(rig, dir, "failenc", "<OUTPUT>", dir / "out.fail");
     }},
    {"ProgramStopsReading", false,
     [](Rig& rig, const fs::path& dir) {
         // Exits cleanly, yet most of the audio never reached it.
         WriteScript(dir, "quitenc", "head -c 1000 > /dev/null\nexit 0");
         UseProgram(rig, dir, "quitenc", "<OUTPUT>", dir / "out.quit");
     }},
    {"ProgramNotExecutable", true,
     [](Rig& rig, const fs::path& dir) {
         std::ofstream(dir / "plainfile") << "not a program\n";
         UseProgram(rig, dir, "plainfile", "<OUTPUT>", dir / "out.plain");
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, ExportFailure, testing::ValuesIn(kFailCases),
                         [](const testing::TestParamInfo<FailCase>& p) { return p.param.Name; });

// What a failing encoder said on its standard error ends the box, after the reason; a
// program that succeeds keeps its remarks out of it.
TEST(ExportFailureBox, EndsWithTheEncodersLastLines) {
    TempFolder dir;
    const fs::path source = dir / "source.wav";
    WriteWav(source, TestSignal(44100, 44100), 2, 44100, WavSample::S16, {"T", "A"});
    WriteScript(dir.Path(), "saysenc",
                "cat > \"$1\"\necho 'WARNING: just a remark' >&2\n"
                "[ \"$1\" = \"${1%.bad}\" ] || { echo 'cannot finish: disk full' >&2; exit 3; }");
    ChainControls controls;
    controls.Path = source.string();
    for (const char* output : {"out.ok", "out.bad"}) {
        Rig rig;
        UseProgram(rig, dir.Path(), "saysenc", "<OUTPUT>", dir / output);
        const TExportResult result = rig.Run.Button5Click(controls);
        const bool fails = std::string(output) == "out.bad";
        EXPECT_EQ(result.Outcome, fails ? TExportOutcome::Failed : TExportOutcome::Completed);
        const std::string lines = "WARNING: just a remark\ncannot finish: disk full";
        EXPECT_EQ(result.EncoderMessages, fails ? lines : "");
        if (fails) {
            ASSERT_GE(result.Message.size(), lines.size());
            EXPECT_EQ(result.Message.substr(result.Message.size() - lines.size() - 1), "\n" + lines)
                << result.Message;
        } else {
            EXPECT_EQ(result.Message.find("WARNING"), std::string::npos) << result.Message;
        }
    }
}

} // namespace
