#include "audio/encode/CommandLine.h"
#include "EncoderCommandLine.h"

#include <gtest/gtest.h>

using namespace corvanel;

namespace {

TExportState State(std::string program, std::string tmpl) {
    TExportState state;
    state.EncodeDir = "/opt/corvanel/addon.win/";
    state.EncodeProgram = std::move(program);
    state.Edit2 = "/home/k/out/My Song_vr.mp3";
    state.Encoders[0] = {{"lame", "LO"}};
    state.Encoders[1] = {{"", ""}, {"LAME", std::move(tmpl)}, {"lame", "second line loses"}};
    state.Encoders[2] = {{"flac", "HI"}};
    return state;
}

struct CommandCase {
    const char* name;
    const char* tmpl;
    const char* title;
    const char* artist;
    const char* expected;
};

class EncoderCommand : public testing::TestWithParam<CommandCase> {};

TEST_P(EncoderCommand, PlaceholdersReplacedInOrderWithQuotedValues) {
    const CommandCase& c = GetParam();
    EXPECT_EQ(BuildEncoderCommandLine(State("lame", c.tmpl), 1, 44100, c.title, c.artist),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Templates, EncoderCommand,
    testing::Values(
        CommandCase{
            "AllPlaceholders", "-s <SFREQ> --tt <TITLE> --ta <ARTIST> - <OUTPUT>", "Song", "Band",
            R"("/opt/corvanel/addon.win/lame" -s 44100 --tt "Song" --ta "Band [Reduced]" - "/home/k/out/My Song_vr.mp3")"},
        // The FNV-1a hash of "My Song_vr.mp3", below 2^31: one bare decimal argument
        CommandCase{
            "SerialFromTheOutputName", "--serial <SERIAL> <OUTPUT>", "", "",
            R"("/opt/corvanel/addon.win/lame" --serial 313151025 "/home/k/out/My Song_vr.mp3")"},
        CommandCase{"EveryOccurrence", "<SFREQ>/<SFREQ>", "", "",
                    R"("/opt/corvanel/addon.win/lame" 44100/44100)"},
        CommandCase{"QuotesInTitleDoubled", "--tt <TITLE>", R"(Say "Hi")", "",
                    R"("/opt/corvanel/addon.win/lame" --tt "Say ""Hi""")"},
        CommandCase{"EmptyTitleIsTwoQuotes", "--tt <TITLE> x", "", "",
                    R"("/opt/corvanel/addon.win/lame" --tt "" x)"},
        CommandCase{"NoArtistKeepsLeadingSpace", "--ta <ARTIST>", "", "",
                    R"("/opt/corvanel/addon.win/lame" --ta " [Reduced]")"},
        // "<ARTIST>" in the title shows the artist, inside the title's own quotes: a tag
        // cannot split or add arguments
        CommandCase{
            "ArtistPlaceholderInsideTitle", "--tt <TITLE> --ta <ARTIST>", "Live <ARTIST>",
            "a -o /x",
            R"("/opt/corvanel/addon.win/lame" --tt "Live a -o /x [Reduced]" --ta "a -o /x [Reduced]")"},
        CommandCase{"OtherPlaceholdersInsideTitleStay", "--tt <TITLE>", "<OUTPUT> <SFREQ> <TITLE>",
                    "", R"("/opt/corvanel/addon.win/lame" --tt "<OUTPUT> <SFREQ> <TITLE>")"},
        CommandCase{"ArtistHoldingItsPlaceholder", "--tt <TITLE>", "<ARTIST>", "<ARTIST>",
                    R"("/opt/corvanel/addon.win/lame" --tt "<ARTIST> [Reduced]")"},
        CommandCase{"OtherCaseStays", "<output> <Title> <sfreq>", "T", "A",
                    R"("/opt/corvanel/addon.win/lame" <output> <Title> <sfreq>)"},
        CommandCase{"ValueInsideLongerArgument", "-T TITLE=<TITLE>", "a b", "",
                    R"("/opt/corvanel/addon.win/lame" -T TITLE="a b")"},
        // backslashes that would escape the closing or a doubled quote are doubled too
        CommandCase{"TrailingBackslash", "--tt <TITLE> --ta <ARTIST>", R"(C:\)", "",
                    R"("/opt/corvanel/addon.win/lame" --tt "C:\\" --ta " [Reduced]")"},
        CommandCase{"BackslashBeforeQuote", "--tt <TITLE>", R"(a\"b)", "",
                    R"("/opt/corvanel/addon.win/lame" --tt "a\\""b")"},
        CommandCase{"InnerBackslashesKept", "--tt <TITLE>", R"(a\b\\c)", "",
                    R"("/opt/corvanel/addon.win/lame" --tt "a\b\\c")"}),
    [](const testing::TestParamInfo<CommandCase>& p) { return std::string(p.param.name); });

TEST(EncoderCommandTemplate, QualityIndexAndCaseInsensitiveFirstKey) {
    const TExportState state = State("lame", "MD");
    EXPECT_EQ(EncoderTemplate(state, 0), "LO");
    EXPECT_EQ(EncoderTemplate(state, 1), "MD");
    EXPECT_EQ(EncoderTemplate(state, 2), "") << "no line for lame";
    EXPECT_EQ(EncoderTemplate(state, -1), "");
    EXPECT_EQ(EncoderTemplate(state, 3), "");
    EXPECT_EQ(EncoderTemplate(State("", "MD"), 1), "") << "an empty name matches no line";
}

TEST(EncoderCommandTemplate, MissingTemplateLeavesTheProgramAlone) {
    EXPECT_EQ(BuildEncoderCommandLine(State("lame", "MD"), 2, 48000, "t", "a"),
              R"("/opt/corvanel/addon.win/lame" )");
}

TEST(EncoderCommandTemplate, OutputPathIsQuotedAndNotSearched) {
    TExportState state = State("lame", "<OUTPUT> <TITLE>");
    state.Edit2 = R"(/tmp/a "b" <TITLE>.mp3)";
    EXPECT_EQ(BuildEncoderCommandLine(state, 1, 8000, "T", ""),
              R"("/opt/corvanel/addon.win/lame" "/tmp/a ""b"" <TITLE>.mp3" "T")");
}

// The quoted value must reach the encoder as exactly the text, as one argument, after the audio
// layer splits the command line.
class QuotedValue : public testing::TestWithParam<const char*> {};

TEST_P(QuotedValue, ComesBackAsOneArgument) {
    const std::string text = GetParam();
    const std::vector<std::string> args =
        audio::encode::splitCommandLine("\"/enc/p\" x" + QuoteArgument(text) + " y");
    ASSERT_EQ(args.size(), 3u) << QuoteArgument(text);
    EXPECT_EQ(args[1], "x" + text);
}

INSTANTIATE_TEST_SUITE_P(Texts, QuotedValue,
                         testing::Values("", "a b", R"(Say "Hi")", R"(C:\)", R"(a\"b)", R"(\\)",
                                         R"(\\")", "曲 \"x\" <ARTIST>", "\"\"\"", "tab\there"));

} // namespace
