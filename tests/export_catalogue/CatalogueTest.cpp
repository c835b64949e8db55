#include "export/EncoderCatalogue.h"
#include "tests/support/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace corvanel;

namespace {

using Lines = std::vector<TCatalogueLine>;

TEST(CatalogueSyntax, LinesAreTrimmedSplitAtFirstEqualsAndKeptInOrder) {
    const TEncoderCatalogue c = TEncoderCatalogue::FromBytes("lame=before any section\n"
                                                             "  [ Encoders ]  \n"
                                                             "; lame=commented out\n"
                                                             "\n"
                                                             "  lame  =  MP3 = LAME  \n"
                                                             "no equals here\n"
                                                             "=.nokey\n"
                                                             "LAME=second\n"
                                                             "\tflac=FLAC\r\n"
                                                             "[extension]\n"
                                                             "lame=.mp3\n"
                                                             "[ENCODERS]\n"
                                                             "late=joins the first\n");
    EXPECT_EQ(c.Lines("encoders"), (Lines{{"lame", "MP3 = LAME"},
                                          {"", ""},
                                          {"", ".nokey"},
                                          {"LAME", "second"},
                                          {"flac", "FLAC"},
                                          {"late", "joins the first"}}));
    EXPECT_EQ(c.Value("ENCODERS", "Lame"), "MP3 = LAME") << "first key wins, any case";
    EXPECT_EQ(c.Value("Extension", "LAME"), ".mp3");
    EXPECT_EQ(c.Value("ENCODERS", ""), std::nullopt) << "an empty key names no encoder";
    EXPECT_EQ(c.Value("PARAMETER-LO", "lame"), std::nullopt);
    EXPECT_TRUE(c.Lines("PARAMETER-LO").empty());
}

TEST(CatalogueSyntax, BracketsMustOpenAndCloseTheLine) {
    const TEncoderCatalogue c =
        TEncoderCatalogue::FromBytes("[ENCODERS]\n[EXTENSION] ; note\na=1\n[]\nb=2\n");
    EXPECT_EQ(c.Lines("ENCODERS"), (Lines{{"", ""}, {"a", "1"}}));
    EXPECT_EQ(c.Lines(""), (Lines{{"b", "2"}}));
}

struct EncodingCase {
    const char* name;
    std::string bytes;
};

const std::string kUtf8Text = "[ENCODERS]\r\n<WAVE>=WAV ファイル\r\nlame=MP3 (高音質)\r\n";
const std::u16string kUtf16Text = u"[ENCODERS]\r\n<WAVE>=WAV ファイル\r\nlame=MP3 (高音質)\r\n";

class CatalogueEncoding : public testing::TestWithParam<EncodingCase> {};

TEST_P(CatalogueEncoding, MarkSelectsTheEncoding) {
    const TEncoderCatalogue c = TEncoderCatalogue::FromBytes(GetParam().bytes);
    EXPECT_EQ(c.Lines("ENCODERS"), (Lines{{"<WAVE>", "WAV ファイル"}, {"lame", "MP3 (高音質)"}}));
}

INSTANTIATE_TEST_SUITE_P(
    Marks, CatalogueEncoding,
    testing::Values(EncodingCase{"Utf8Bom", "\xEF\xBB\xBF" + kUtf8Text},
                    EncodingCase{"Utf16LE", test::Utf16WithMark(kUtf16Text, false)},
                    EncodingCase{"Utf16BE", test::Utf16WithMark(kUtf16Text, true)},
                    // without a mark: the locale's encoding, UTF-8 here
                    EncodingCase{"NoMark", kUtf8Text}),
    [](const testing::TestParamInfo<EncodingCase>& p) { return std::string(p.param.name); });

TEST(CatalogueFile, MissingFileIsEmpty) {
    const TEncoderCatalogue c =
        TEncoderCatalogue::LoadFromFile("/nonexistent/addon.win/encoder.inf");
    EXPECT_TRUE(c.Lines("ENCODERS").empty());
}

TEST(CatalogueWave, BuiltInNameMatchesWithoutRegardToCase) {
    EXPECT_TRUE(IsWaveEncoder("<WAVE>"));
    EXPECT_TRUE(IsWaveEncoder("<wave>"));
    EXPECT_FALSE(IsWaveEncoder("<WAV>"));
    EXPECT_FALSE(IsWaveEncoder("WAVE"));
}

TEST(CatalogueTemplates, AnEncoderWithAnUnsafeTemplateIsLeftOutWithALine) {
    testing::internal::CaptureStderr();
    const TEncoderCatalogue c =
        TEncoderCatalogue::FromBytes("[ENCODERS]\nbad=Bad\ngood=Good\nworse=Worse\n"
                                     "[EXTENSION]\nbad=.bad\ngood=.good\nworse=.w\n"
                                     "[PARAMETER-LO]\nBAD=-o <OUTPUT>\ngood=-o <OUTPUT>\n"
                                     "[PARAMETER-MD]\nbad=\"--tt <TITLE>\"\ngood=--tt <TITLE>\n"
                                     "worse=\\<ARTIST>\n"
                                     "[PARAMETER-HI]\nbad=-o <OUTPUT>\nworse=<TITLE>\"x\"\n");
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(c.Lines(kEncodersSection), (Lines{{"good", "Good"}}));
    EXPECT_EQ(c.Lines(kExtensionSection), (Lines{{"good", ".good"}}));
    EXPECT_EQ(c.Lines("PARAMETER-LO"), (Lines{{"good", "-o <OUTPUT>"}}));
    EXPECT_EQ(c.Lines("PARAMETER-MD"), (Lines{{"good", "--tt <TITLE>"}}));
    EXPECT_TRUE(c.Lines("PARAMETER-HI").empty());
    // one line per encoder left out
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;
    EXPECT_NE(errors.find("\"bad\""), std::string::npos) << errors;
    EXPECT_NE(errors.find("\"worse\""), std::string::npos) << errors;
}

TEST(ShippedCatalogue, EveryOfferedEntryHasAnExtensionAndThreeTemplates) {
    testing::internal::CaptureStderr();
    const TEncoderCatalogue c = TEncoderCatalogue::LoadFromFile(CORVANEL_SHIPPED_CATALOGUE);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a shipped encoder was left out";
    const Lines& encoders = c.Lines(kEncodersSection);
    ASSERT_FALSE(encoders.empty());
    EXPECT_EQ(encoders.front().Key, "<WAVE>");
    EXPECT_EQ(c.Value(kExtensionSection, "<WAVE>"), ".wav");
    for (const TCatalogueLine& entry : encoders) {
        SCOPED_TRACE(entry.Key);
        const std::string ext = c.Value(kExtensionSection, entry.Key).value_or("");
        ASSERT_EQ(ext.rfind('.', 0), 0u);
        if (IsWaveEncoder(entry.Key))
            continue;
        for (std::string_view section : kTemplateSections) {
            const std::string text = c.Value(section, entry.Key).value_or("");
            for (const char* placeholder : {"<OUTPUT>", "<SFREQ>", "<TITLE>", "<ARTIST>"})
                EXPECT_NE(text.find(placeholder), std::string::npos)
                    << section << " " << placeholder;
        }
    }
}

} // namespace
