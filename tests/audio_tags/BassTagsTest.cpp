#include "tests/audio_encode/TagFixtures.h"
#include "tests/audio_encode/TestSupport.h"
#include "audio/include/bass.h"

#include <thread>

#include <gtest/gtest.h>

namespace corvanel::audio {
namespace {

using test::TempFolder;

// The tag list the program asks for: name, character 30, field code, CR LF.
constexpr const char* kProgramFormat = "TITLE\x1E%TITL\r\nARTIST\x1E%ARTI\r\nALBUM\x1E%ALBM\r\n"
                                       "GENRE\x1E%GNRE\r\nYEAR\x1E%YEAR\r\n";

std::string programList(const std::string& t, const std::string& a, const std::string& al,
                        const std::string& g, const std::string& y) {
    return "TITLE\x1E" + t + "\r\nARTIST\x1E" + a + "\r\nALBUM\x1E" + al + "\r\nGENRE\x1E" + g +
           "\r\nYEAR\x1E" + y + "\r\n";
}

using Opener = HSTREAM (*)(BOOL, const void*, QWORD, QWORD, DWORD);

struct Source {
    const char* name;
    const char* file;
    const char* codec;
    Opener open;
};

const Source kSources[] = {
    {"Mp3", "t.mp3", "libmp3lame", BASS_StreamCreateFile},
    {"Ogg", "t.ogg", "libvorbis", BASS_StreamCreateFile},
    {"Flac", "t.flac", "flac", BASS_StreamCreateFile},
    {"Wav", "t.wav", "pcm_s16le", BASS_StreamCreateFile},
    {"M4a", "t.m4a", "aac", BASS_AAC_StreamCreateFile},
    {"Wma", "t.wma", "wmav2", BASS_WMA_StreamCreateFile},
};

class TagsRead : public ::testing::TestWithParam<Source> {
  protected:
    void SetUp() override {
        if (!test::haveFfmpeg())
            GTEST_SKIP() << "ffmpeg is needed to make the fixtures";
    }
    HSTREAM open(const std::filesystem::path& path) {
        const std::string s = path.string(); // ASCII temp path
        const std::u16string u(s.begin(), s.end());
        return GetParam().open(FALSE, u.c_str(), 0, 0, 0x80200000);
    }
    TempFolder dir_;
};

TEST_P(TagsRead, FillsTheProgramsTagList) {
    const auto path = dir_ / GetParam().file;
    ASSERT_TRUE(test::makeTaggedFile(
        path, GetParam().codec, {"Title \"x\" $(id)", "歌手", "Album", "Genre", "2021-07-01"}));
    const HSTREAM h = open(path);
    ASSERT_NE(h, 0u) << BASS_ErrorGetCode();
    EXPECT_EQ(std::string(TAGS_Read(h, kProgramFormat)),
              programList("Title \"x\" $(id)", "歌手", "Album", "Genre", "2021"));
    BASS_StreamFree(h);
}

TEST_P(TagsRead, UntaggedFileGivesEmptyValues) {
    const auto path = dir_ / GetParam().file;
    ASSERT_TRUE(test::makeTaggedFile(path, GetParam().codec, {}));
    const HSTREAM h = open(path);
    ASSERT_NE(h, 0u) << BASS_ErrorGetCode();
    EXPECT_EQ(std::string(TAGS_Read(h, kProgramFormat)), programList("", "", "", "", ""));
    BASS_StreamFree(h);
}

INSTANTIATE_TEST_SUITE_P(Cases, TagsRead, ::testing::ValuesIn(kSources),
                         [](const auto& tpi) { return std::string(tpi.param.name); });

TEST(TagsReadHandles, BadHandleGivesEmptyTextAndError) {
    EXPECT_STREQ(TAGS_Read(0, kProgramFormat), "");
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    const HSTREAM push = BASS_StreamCreate(44100, 2, BASS_STREAM_DECODE, STREAMPROC_PUSH, nullptr);
    EXPECT_STREQ(TAGS_Read(push, kProgramFormat), "") << "a push stream has no tags";
    BASS_StreamFree(push);
    EXPECT_STREQ(TAGS_Read(push, kProgramFormat), "");
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST(TagsReadHandles, ResultBelongsToTheCallingThread) {
    if (!test::haveFfmpeg())
        GTEST_SKIP();
    TempFolder dir;
    ASSERT_TRUE(test::makeTaggedFile(dir / "a.mp3", "libmp3lame", {"A", "", "", "", ""}));
    const std::string s = (dir / "a.mp3").string();
    const std::u16string u(s.begin(), s.end());
    const HSTREAM h = BASS_StreamCreateFile(FALSE, u.c_str(), 0, 0, 0x80200000);
    ASSERT_NE(h, 0u);
    const char* mine = TAGS_Read(h, "[%TITL]");
    std::string other;
    std::thread([&] { other = TAGS_Read(h, "other thread %TITL %TITL"); }).join();
    EXPECT_STREQ(mine, "[A]");
    EXPECT_EQ(other, "other thread A A");
    BASS_StreamFree(h);
}

} // namespace
} // namespace corvanel::audio
