// Hostile input through a whole export: folder names and tags must not change which program
// runs or how its arguments split, a long tag must not stop the encoder from starting, and a
// source that cannot be decoded to its end is never reported as written.
#include "export/EncoderCommandLine.h"
#include "tests/export_run/ExportRunFixture.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace corvanel;
using namespace corvanel::test;

namespace {

// An encoder script that writes its arguments, each ended by a zero byte, beside itself.
fs::path WriteRecorder(const fs::path& dir) {
    fs::create_directories(dir);
    const fs::path file = dir / "enc";
    std::ofstream(file) << "#!/bin/sh\n"
                           "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$0.args\"\n"
                           "cat > /dev/null\n";
    fs::permissions(file, fs::perms::owner_all);
    return file;
}

std::vector<std::string> RecordedArgs(const fs::path& program) {
    std::ifstream in(program.string() + ".args", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    for (std::size_t pos = 0, end; (end = text.find('\0', pos)) != std::string::npos; pos = end + 1)
        args.push_back(text.substr(pos, end - pos));
    return args;
}

TExportResult ExportThrough(Rig& rig, const fs::path& program, const std::string& tmpl,
                            const fs::path& source, const fs::path& output) {
    rig.State.EncodeDir = program.parent_path().string() + "/";
    rig.State.EncodeProgram = program.filename().string();
    for (auto& lines : rig.State.Encoders)
        lines = {{rig.State.EncodeProgram, tmpl}};
    rig.State.Edit2 = output.string();
    ChainControls controls;
    controls.Path = source.string();
    return rig.Run.Button5Click(controls);
}

// A stand-in named by the folder's text before its first quote or space would leave the trap.
class HostileFolder : public testing::TestWithParam<NamedText> {};

TEST_P(HostileFolder, StartsTheEncoderInIt) {
    TempFolder dir;
    const fs::path trap = dir / "trap";
    for (const char* standIn : {"inst", "my", "C:"}) {
        std::ofstream(dir / standIn) << "#!/bin/sh\ntouch '" << trap.string() << "'\n";
        fs::permissions(dir / standIn, fs::perms::owner_all);
    }
    const fs::path program = WriteRecorder(dir / GetParam().text / "addon.win");
    const fs::path source = dir / "source.wav";
    WriteWav(source, TestSignal(44100, 4410), 2, 44100, WavSample::S16, {"T", "A"});

    Rig rig;
    const TExportResult result =
        ExportThrough(rig, program, "--tt <TITLE> -o <OUTPUT>", source, dir / "out.x");
    EXPECT_EQ(result.Outcome, TExportOutcome::Completed) << result.Message;
    EXPECT_EQ(RecordedArgs(program),
              (std::vector<std::string>{"--tt", "T", "-o", rig.State.Edit2}));
    EXPECT_FALSE(fs::exists(trap)) << "another program was started";
}

INSTANTIATE_TEST_SUITE_P(Folders, HostileFolder,
                         testing::Values(NamedText{"QuoteInName", "inst\"dir"},
                                         NamedText{"QuotedOption", "inst\" x \"dir"},
                                         NamedText{"Space", "my dir"},
                                         NamedText{"BackslashQuote", "a\\\"b\\"},
                                         NamedText{"WindowsFolder", "C:\\enc\\"},
                                         NamedText{"TwoQuotes", "\"\""},
                                         NamedText{"EndsInQuote", "inst\""},
                                         NamedText{"JapaneseAndQuotes", "夜の歌 \"曲\""},
                                         NamedText{"TabAndQuote", "inst\t\"tab"}),
                         ByNameField);

struct TagCase {
    const char* Name;
    std::string Title, Artist;
    std::string TitleArgument, ArtistArgument;
};

class HostileTags : public testing::TestWithParam<TagCase> {};

TEST_P(HostileTags, ArriveWholeAndAlone) {
    const TagCase& c = GetParam();
    TempFolder dir;
    const fs::path program = WriteRecorder(dir / "addon.win");
    const fs::path source = dir / "source.wav";
    WriteWav(source, TestSignal(44100, 4410), 2, 44100, WavSample::S16, {c.Title, c.Artist});

    Rig rig;
    const TExportResult result =
        ExportThrough(rig, program, "--tt <TITLE> --ta <ARTIST> <OUTPUT>", source, dir / "out.x");
    ASSERT_EQ(result.Outcome, TExportOutcome::Completed) << result.Message;
    EXPECT_EQ(RecordedArgs(program), (std::vector<std::string>{"--tt", c.TitleArgument, "--ta",
                                                               c.ArtistArgument, rig.State.Edit2}));
}

// As long as a WAV file's text tags can be here; the cut is the same for any length.
const std::string kLongTitle = std::string(3999, 'x') + "曲";

INSTANTIATE_TEST_SUITE_P(
    Tags, HostileTags,
    testing::Values(TagCase{"LineBreakDoesNotCut", "Ti\ttle\nline2", "A", "Ti tle line2",
                            "A [Reduced]"},
                    TagCase{"NoForgedArtist", "T\nARTIST\x1eInjected", "Real", "T ARTIST Injected",
                            "Real [Reduced]"},
                    TagCase{"VeryLongTitle", kLongTitle, "A", std::string(kMaxTagValueBytes, 'x'),
                            "A [Reduced]"}),
    [](const testing::TestParamInfo<TagCase>& p) { return std::string(p.param.Name); });

// A 16-bit stereo WAV whose header says a block is 3 bytes: FFmpeg reads it in blocks of
// that size and decodes every packet it can.
fs::path WavWithBlockAlignThree(const fs::path& dir, std::int64_t pairs) {
    const fs::path file = dir / "align3.wav";
    WriteWav(file, TestSignal(44100, pairs), 2, 44100);
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    std::string bytes(64, '\0');
    f.read(bytes.data(), 64);
    const std::size_t fmt = bytes.find("fmt ");
    if (fmt == std::string::npos)
        throw std::runtime_error("no fmt chunk");
    f.seekp(static_cast<std::streamoff>(fmt + 8 + 12));
    f.write("\x03\x00", 2);
    return file;
}

// An Ogg Vorbis file with a stretch of zeros in the middle longer than the demuxer searches
// for its next page: reading stops there with an error.
fs::path DamagedOgg(const fs::path& dir) {
    const fs::path wav = dir / "long.wav";
    WriteWav(wav, TestSignal(44100, 44100 * 20), 2, 44100);
    const fs::path ogg = dir / "damaged.ogg";
    const std::string command = "/usr/bin/ffmpeg -v error -nostdin -y -i '" + wav.string() +
                                "' -c:a libvorbis -q:a 5 '" + ogg.string() + "'";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("ffmpeg failed");
    const auto size = fs::file_size(ogg);
    if (size < 300000)
        throw std::runtime_error("the Ogg fixture is too short to damage");
    std::fstream f(ogg, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(static_cast<std::streamoff>(size / 3));
    const std::string zeros(100000, '\0');
    f.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    return ogg;
}

TEST(DamagedSource, AnOddBlockAlignmentIsDecodedAsFarAsFfmpegDoes) {
    TempFolder dir;
    const fs::path source = WavWithBlockAlignThree(dir.Path(), 4410);
    Rig rig;
    rig.State.EncodeProgram = "<WAVE>";
    rig.State.Edit2 = (dir / "out.wav").string();
    ChainControls controls;
    controls.Path = source.string();
    const TExportResult result = rig.Run.Button5Click(controls);
    EXPECT_EQ(result.Outcome, TExportOutcome::Completed) << result.Message;
    // 4095-byte packets of 1023 whole pairs each, and the rest: 4 * 1023 + 315 pairs.
    EXPECT_EQ(result.BytesWritten, 4407 * 4);
    EXPECT_EQ(ReadWav(dir / "out.wav").Samples.size(), 4407u * 2);
}

TEST(DamagedSource, DecodingStoppedByDamageIsAFailureNotWritten) {
    if (!fs::exists("/usr/bin/ffmpeg"))
        GTEST_SKIP() << "ffmpeg is needed to make the fixture";
    TempFolder dir;
    const fs::path source = DamagedOgg(dir.Path());
    Rig rig;
    rig.State.EncodeProgram = "<WAVE>";
    rig.State.Edit2 = (dir / "out.wav").string();
    ChainControls controls;
    controls.Path = source.string();
    const TExportResult result = rig.Run.Button5Click(controls);
    EXPECT_EQ(result.Outcome, TExportOutcome::Failed);
    ASSERT_EQ(rig.View.Boxes.size(), 1u);
    EXPECT_EQ(rig.View.Boxes[0].Kind, 'E');
    EXPECT_NE(result.Message.find("途中までしか書き出せませんでした"), std::string::npos)
        << result.Message;
    // What could be decoded was written and is kept.
    const WavData written = ReadWav(dir / "out.wav");
    EXPECT_GT(written.Samples.size(), 44100u * 2 * 4);
    EXPECT_LT(written.Samples.size(), 44100u * 2 * 16);
}

} // namespace
