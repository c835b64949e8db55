#include "audio/tags/TagReader.h"
#include "tests/audio_encode/TagFixtures.h"
#include "tests/audio_encode/TestSupport.h"

#include <fstream>

#include <gtest/gtest.h>

namespace corvanel::audio::tags {
namespace {

using test::TempFolder;

struct Container {
    const char* name;
    const char* file;
    const char* codec;
};

const Container kContainers[] = {
    {"Mp3Id3v2", "t.mp3", "libmp3lame"},
    {"OggVorbis", "t.ogg", "libvorbis"},
    {"M4a", "t.m4a", "aac"},
    {"Wma", "t.wma", "wmav2"},
    {"Flac", "t.flac", "flac"},
    {"Opus", "t.opus", "libopus"},
    {"WavInfo", "t.wav", "pcm_s16le"},
};

class TagsByContainer : public ::testing::TestWithParam<Container> {
  protected:
    void SetUp() override {
        if (!test::haveFfmpeg())
            GTEST_SKIP() << "ffmpeg is needed to make the fixtures";
    }
    TempFolder dir_;
};

TEST_P(TagsByContainer, EveryFieldIsRead) {
    const auto path = dir_ / GetParam().file;
    const test::TagSet set{"Tïtle \"q\" 曲", "Ärtist", "Album", "Genre", "2019-03-04"};
    ASSERT_TRUE(test::makeTaggedFile(path, GetParam().codec, set));
    const auto tags = readTags(path);
    ASSERT_TRUE(tags);
    EXPECT_EQ(tags->title, set.title);
    EXPECT_EQ(tags->artist, set.artist);
    EXPECT_EQ(tags->album, set.album);
    EXPECT_EQ(tags->genre, set.genre);
    EXPECT_EQ(tags->year, "2019");
}

TEST_P(TagsByContainer, AbsentFieldsAreEmpty) {
    const auto path = dir_ / GetParam().file;
    ASSERT_TRUE(test::makeTaggedFile(path, GetParam().codec, {"Only title", "", "", "", ""}));
    const auto tags = readTags(path);
    ASSERT_TRUE(tags);
    EXPECT_EQ(tags->title, "Only title");
    EXPECT_EQ(tags->artist, "");
    EXPECT_EQ(tags->album, "");
    EXPECT_EQ(tags->genre, "");
    EXPECT_EQ(tags->year, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, TagsByContainer, ::testing::ValuesIn(kContainers),
                         [](const auto& tpi) { return std::string(tpi.param.name); });

// Values travel as lines of name, character 30, value: a line break or control character
// inside one would cut it or forge another tag, so each is read as a space.
struct ControlCase {
    const char* name;
    const char* stored;
    const char* read;
};

class TagControls : public ::testing::TestWithParam<ControlCase> {};

TEST_P(TagControls, BecomeSpaces) {
    if (!test::haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is needed to make the fixtures";
    TempFolder dir;
    for (const char* file : {"t.mp3", "t.flac"}) {
        SCOPED_TRACE(file);
        const auto path = dir / file;
        ASSERT_TRUE(test::makeTaggedFile(path, file[2] == 'm' ? "libmp3lame" : "flac",
                                         {GetParam().stored, GetParam().stored, "", "", ""}));
        const auto tags = readTags(path);
        ASSERT_TRUE(tags);
        EXPECT_EQ(tags->title, GetParam().read);
        EXPECT_EQ(tags->artist, GetParam().read);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TagControls,
    ::testing::Values(ControlCase{"LineFeed", "Ti\ttle\nline2", "Ti tle line2"},
                      ControlCase{"CrLfIsOneBreak", "a\r\nb\rc", "a b c"},
                      ControlCase{"ForgedTag", "T\nARTIST\x1eInjected", "T ARTIST Injected"},
                      ControlCase{"OtherControls", "a\x01\x1f\x7f\x1b[0mb", "a    [0mb"},
                      ControlCase{"PrintableKept", "曲 \"x\" \\ ~", "曲 \"x\" \\ ~"}),
    [](const auto& tpi) { return std::string(tpi.param.name); });

// ID3v1 keeps fixed-width Latin-1 fields and a genre number.
TEST(TagReader, Id3v1LatinTextAndGenreNumber) {
    if (!test::haveFfmpeg())
        GTEST_SKIP();
    TempFolder dir;
    const auto path = dir / "v1.mp3";
    ASSERT_TRUE(test::makeTaggedFile(path, "libmp3lame", {}));
    auto field = [](std::string s, std::size_t n) {
        s.resize(n, '\0');
        return s;
    };
    std::string tag = "TAG" + field("T\xEFx", 30) + field("Ar", 30) + field("Al", 30) + "1999" +
                      field("", 30) + std::string(1, '\x11');
    std::ofstream(path, std::ios::binary | std::ios::app) << tag;

    const auto tags = readTags(path);
    ASSERT_TRUE(tags);
    EXPECT_EQ(tags->title, "T\xC3\xAFx"); // valid UTF-8 out of Latin-1 in
    EXPECT_EQ(tags->artist, "Ar");
    EXPECT_EQ(tags->album, "Al");
    EXPECT_EQ(tags->genre, "Rock");
    EXPECT_EQ(tags->year, "1999");
}

TEST(TagReader, UnreadableFileGivesNothing) {
    TempFolder dir;
    EXPECT_FALSE(readTags(dir / "missing.mp3"));
    std::ofstream(dir / "junk.mp3") << "not audio at all";
    EXPECT_FALSE(readTags(dir / "junk.mp3"));
}

struct ExpandCase {
    const char* name;
    const char* format;
    const char* expected;
};

class ExpandTagFormat : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandTagFormat, ReplacesTheFiveCodesOnly) {
    const TagValues v{"T", "A", "B", "G", "2001"};
    EXPECT_EQ(expandTagFormat(GetParam().format, v), GetParam().expected);
}

const ExpandCase kExpand[] = {
    {"AllCodes", "%TITL|%ARTI|%ALBM|%GNRE|%YEAR", "T|A|B|G|2001"},
    {"ProgramTagList",
     "TITLE\x1E%TITL\r\nARTIST\x1E%ARTI\r\nALBUM\x1E%ALBM\r\nGENRE\x1E%GNRE\r\nYEAR\x1E%YEAR\r\n",
     "TITLE\x1ET\r\nARTIST\x1E"
     "A\r\nALBUM\x1E"
     "B\r\nGENRE\x1EG\r\nYEAR\x1E"
     "2001\r\n"},
    {"Repeated", "%TITL%TITL", "TT"},
    {"OtherTextKept", "x % %% %TIT %titl %ABCD 100%", "x % %% %TIT %titl %ABCD 100%"},
    {"PercentBeforeCode", "%%TITL", "%T"},
    {"Empty", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, ExpandTagFormat, ::testing::ValuesIn(kExpand),
                         [](const auto& tpi) { return std::string(tpi.param.name); });

TEST(ExpandTagFormat, ValuesAreNotExpandedAgainAndAbsentAreEmpty) {
    const TagValues v{"%ARTI", "", "", "", ""};
    EXPECT_EQ(expandTagFormat("[%TITL][%ARTI][%YEAR]", v), "[%ARTI][][]");
}

TEST(YearFromDate, TakesTheFirstFourDigits) {
    const std::pair<const char*, const char*> cases[] = {
        {"2019-03-04", "2019"}, {"1999", "1999"}, {"May 2003", "2003"}, {"03/04/2019", "2019"},
        {" 98 ", "98"},         {"", ""},         {"20190304", "2019"}, {"12-345", "12-345"}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(yearFromDate(in), out) << in;
}

} // namespace
} // namespace corvanel::audio::tags
