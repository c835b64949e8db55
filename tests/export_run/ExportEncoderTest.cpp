// Exports through the shipped catalogue's encoders: each output decodes again to the length
// of the source (within the codec's padding) and carries the source's title and its artist
// marked as reduced.
#include "tests/export_run/ExportRunFixture.h"

#include "audio/include/bass.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace corvanel;
using namespace corvanel::test;

namespace {

struct Decoded {
    double Seconds = -1.0;
    std::string Title, Artist;
};

Decoded DecodeFile(const fs::path& file) {
    Decoded d;
    HSTREAM h = BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, BASS_STREAM_DECODE);
    if (h == 0)
        h = BASS_AAC_StreamCreateFile(FALSE, file.c_str(), 0, 0, BASS_STREAM_DECODE);
    if (h == 0)
        return d;
    BASS_CHANNELINFO info{};
    BASS_ChannelGetInfo(h, &info);
    d.Title = TAGS_Read(h, "%TITL");
    d.Artist = TAGS_Read(h, "%ARTI");
    std::vector<std::uint8_t> block(1 << 16);
    std::int64_t bytes = 0;
    for (DWORD n; (n = BASS_ChannelGetData(h, block.data(), static_cast<DWORD>(block.size()))) !=
                  static_cast<DWORD>(-1);)
        bytes += n;
    BASS_StreamFree(h);
    d.Seconds = static_cast<double>(bytes) / (2.0 * info.chans * info.freq);
    return d;
}

struct FormatCase {
    const char* Extension;
    bool Reduce;
    int Quality;
    double Tolerance; // seconds of padding the codec may add or trim
};

class EncoderExport : public testing::TestWithParam<FormatCase> {};

TEST_P(EncoderExport, DecodesToTheSourceLengthWithTags) {
    const FormatCase& c = GetParam();
    const TEncoderCatalogue catalogue = TEncoderCatalogue::LoadFromFile(AddonDir() + "encoder.inf");
    TempFolder dir;
    const fs::path source = dir / "source.wav";
    const fs::path output = dir / (std::string("out \"x\"") + c.Extension);
    const double seconds = 3.3;
    const std::string title = R"(Say "Hi" 曲 <ARTIST>)";
    const std::string artist = "Ünïcode Band";
    WriteWav(source, TestSignal(44100, static_cast<std::int64_t>(44100 * seconds)), 2, 44100,
             WavSample::S16, {title, artist});

    Rig rig;
    rig.Params.VREnable = c.Reduce;
    rig.State.EncodeDir = AddonDir();
    rig.State.QualitySelecter = c.Quality;
    AcceptOutputChoice(rig.State, catalogue, output.string());
    if (!fs::exists(rig.State.EncodeDir + rig.State.EncodeProgram))
        GTEST_SKIP() << rig.State.EncodeProgram << " is not installed";
    ChainControls controls;
    controls.Path = source.string();
    const TExportResult result = rig.Run.Button5Click(controls);
    ASSERT_EQ(result.Outcome, TExportOutcome::Completed) << result.Message;
    ASSERT_EQ(rig.Chain.ChTag().Value("TITLE"), title) << "the source's tags were not read";
    EXPECT_EQ(result.BytesWritten, static_cast<std::int64_t>(44100 * seconds) * 4);

    const Decoded d = DecodeFile(output);
    EXPECT_NEAR(d.Seconds, seconds, c.Tolerance);
    // "<ARTIST>" in the title shows the artist, and the quote stays part of the title.
    EXPECT_EQ(d.Title, R"(Say "Hi" 曲 )" + artist + " [Reduced]");
    EXPECT_EQ(d.Artist, artist + " [Reduced]");
}

const FormatCase kFormatCases[] = {
    {".mp3", true, 1, 0.06},   {".mp3", false, 0, 0.06}, {".flac", true, 2, 1e-4},
    {".flac", false, 1, 1e-4}, {".ogg", true, 1, 0.03},  {".opus", true, 1, 0.03},
    {".m4a", true, 1, 0.06},
};

INSTANTIATE_TEST_SUITE_P(Shipped, EncoderExport, testing::ValuesIn(kFormatCases),
                         [](const testing::TestParamInfo<FormatCase>& p) {
                             return std::string(p.param.Extension + 1) +
                                    (p.param.Reduce ? "_reduced_q" : "_plain_q") +
                                    std::to_string(p.param.Quality);
                         });

class RepeatedExport : public testing::TestWithParam<const char*> {};

// The same song, settings and output name give the same bytes, wherever the file is written:
// no encoder is left to pick a random stream serial.
TEST_P(RepeatedExport, GivesTheSameBytes) {
    const TEncoderCatalogue catalogue = TEncoderCatalogue::LoadFromFile(AddonDir() + "encoder.inf");
    TempFolder dir;
    const fs::path source = dir / "source.wav";
    WriteWav(source, TestSignal(44100, 44100), 2, 44100, WavSample::S16, {"Title", "Artist"});
    std::string written[2];
    for (int run = 0; run < 2; ++run) {
        const fs::path folder = dir / ("run" + std::to_string(run));
        fs::create_directories(folder);
        const fs::path output = folder / (std::string("song") + GetParam());
        Rig rig;
        rig.State.EncodeDir = AddonDir();
        rig.State.QualitySelecter = 1;
        AcceptOutputChoice(rig.State, catalogue, output.string());
        if (!fs::exists(rig.State.EncodeDir + rig.State.EncodeProgram))
            GTEST_SKIP() << rig.State.EncodeProgram << " is not installed";
        ChainControls controls;
        controls.Path = source.string();
        const TExportResult result = rig.Run.Button5Click(controls);
        ASSERT_EQ(result.Outcome, TExportOutcome::Completed) << result.Message;
        written[run] = ReadFile(output);
    }
    ASSERT_FALSE(written[0].empty());
    EXPECT_TRUE(written[0] == written[1]) << GetParam() << " differs between two exports";
}

INSTANTIATE_TEST_SUITE_P(Shipped, RepeatedExport,
                         testing::Values(".mp3", ".flac", ".ogg", ".opus", ".m4a"),
                         [](const testing::TestParamInfo<const char*>& p) {
                             return std::string(p.param + 1);
                         });

} // namespace
