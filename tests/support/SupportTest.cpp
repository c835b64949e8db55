#include "tests/support/CaseName.h"
#include "tests/support/Signals.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"
#include "tests/support/Wav.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>

namespace corvanel::test {
namespace {

namespace fs = std::filesystem;

// Two builds running the suite at once run the same test at the same moment: their folders
// must differ, and removing one must leave the other's files alone.
TEST(TempFolder, TwoFoldersOfOneTestAreApartAndGoWithTheirObjects) {
    fs::path kept;
    {
        TempFolder first;
        TempFolder second;
        kept = second.Path();
        EXPECT_NE(first.Path(), second.Path());
        EXPECT_NE(first.Path().filename().string().find("TempFolder_TwoFoldersOfOneTest"),
                  std::string::npos)
            << first.Path();
        std::ofstream(first / "a.txt") << "first";
        std::ofstream(second / "a.txt") << "second";
        EXPECT_EQ(ReadFile(second / "a.txt"), "second");
        {
            TempFolder third;
            std::ofstream(third / "a.txt") << "third";
        }
        EXPECT_EQ(ReadFile(first / "a.txt"), "first");
        EXPECT_EQ(ReadFile(second / "a.txt"), "second");
    }
    EXPECT_FALSE(fs::exists(kept));
}

struct WavCase {
    const char* name;
    WavSample type;
};

class WavRoundTrip : public testing::TestWithParam<WavCase> {};

// Every sample type gives back the 16-bit values written (8-bit keeps the top byte).
TEST_P(WavRoundTrip, GivesBackTheSamples) {
    TempFolder folder;
    const std::vector<std::int16_t> samples = Noise(1000, 2, 7);
    WriteWav(folder / "a.wav", samples, 2, 22050, GetParam().type);
    const WavData read = ReadWav(folder / "a.wav");
    EXPECT_EQ(read.SampleRate, 22050);
    EXPECT_EQ(read.Channels, 2);
    ASSERT_EQ(read.Samples.size(), samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const int want = GetParam().type == WavSample::U8 ? samples[i] & ~0xFF : samples[i];
        ASSERT_EQ(read.Samples[i], want) << "sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, WavRoundTrip,
    testing::Values(WavCase{"U8", WavSample::U8}, WavCase{"S16", WavSample::S16},
                    WavCase{"S24", WavSample::S24}, WavCase{"F32", WavSample::F32}),
    [](const testing::TestParamInfo<WavCase>& c) { return std::string(c.param.name); });

// Tests compare a written file's size with its source's: a plain 16-bit file has the 44-byte
// header, and tags are found again by a reader.
TEST(Wav, PlainHeaderAndTags) {
    TempFolder folder;
    WriteWav(folder / "plain.wav", StereoSines(100, 44100, 440, 660), 2, 44100);
    EXPECT_EQ(fs::file_size(folder / "plain.wav"), 44u + 100 * 4);
    WriteWav(folder / "tagged.wav", StereoSines(100, 44100, 440, 660), 2, 44100, WavSample::S16,
             {"曲名", "歌手"});
    const std::string bytes = ReadFile(folder / "tagged.wav");
    EXPECT_NE(bytes.find("曲名"), std::string::npos);
    EXPECT_NE(bytes.find("歌手"), std::string::npos);
    EXPECT_EQ(ReadWav(folder / "missing.wav").SampleRate, 0);
}

TEST(Text, Utf16CarriesItsMarkAndByteOrder) {
    EXPECT_EQ(Utf16WithMark(u"aあ", false), std::string("\xFF\xFE"
                                                        "a\0"
                                                        "\x42\x30",
                                                        6));
    EXPECT_EQ(Utf16WithMark(u"aあ", true), std::string("\xFE\xFF"
                                                       "\0a"
                                                       "\x30\x42",
                                                       6));
}

// gtest accepts only letters, digits and '_' in a case's name and aborts the binary otherwise;
// signs stay apart so that -1 and 1 are two names.
TEST(CaseName, GivesIdentifiersThatKeepSignsApart) {
    const struct {
        std::string_view text;
        const char* name;
    } texts[] = {{"", "Empty"},        {"0x1F", "0x1F"},      {"-20", "Minus20"},
                 {"+3", "Plus3"},      {"1e+20", "1ePlus20"}, {".5", "_5"},
                 {"a  \"b\"", "a_b_"}, {"夜の歌", "_"},       {"C:\\enc\\", "C_enc_"}};
    for (const auto& t : texts)
        EXPECT_EQ(CaseName(t.text), t.name) << t.text;
    const struct {
        double value;
        const char* name;
    } numbers[] = {{8192, "8192"},
                   {2.5, "2_5"},
                   {-1.5, "Minus1_5"},
                   {-0.0, "Minus0"},
                   {1e6, "1ePlus06"},
                   {std::numeric_limits<double>::quiet_NaN(), "NaN"},
                   {-std::numeric_limits<double>::infinity(), "MinusInfinity"},
                   {199.99997, "199_99997"}};
    for (const auto& n : numbers)
        EXPECT_EQ(CaseName(n.value), n.name) << n.value;
}

} // namespace
} // namespace corvanel::test
