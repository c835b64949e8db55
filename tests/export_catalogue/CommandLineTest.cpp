#include "base/CommandLine.h"
#include "export/EncoderCommandLine.h"
#include "tests/support/CaseName.h"

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
class QuotedValue : public testing::TestWithParam<test::NamedText> {};

TEST_P(QuotedValue, ComesBackAsOneArgument) {
    const std::string text = GetParam().text;
    const std::vector<std::string> args =
        splitCommandLine("\"/enc/p\" x" + QuoteArgument(text) + " y");
    ASSERT_EQ(args.size(), 3u) << QuoteArgument(text);
    EXPECT_EQ(args[1], "x" + text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, QuotedValue,
    testing::Values(test::NamedText{"Empty", ""}, test::NamedText{"Space", "a b"},
                    test::NamedText{"Quotes", R"(Say "Hi")"},
                    test::NamedText{"EndsInBackslash", R"(C:\)"},
                    test::NamedText{"BackslashQuote", R"(a\"b)"},
                    test::NamedText{"TwoBackslashes", R"(\\)"},
                    test::NamedText{"TwoBackslashesQuote", R"(\\")"},
                    test::NamedText{"JapaneseAndPlaceholder", "曲 \"x\" <ARTIST>"},
                    test::NamedText{"ThreeQuotes", "\"\"\""}, test::NamedText{"Tab", "tab\there"}),
    test::ByNameField);

// Whatever the folder's name holds, the encoder's own path comes back as the program, and the
// template's arguments follow unchanged.
class ProgramFolder : public testing::TestWithParam<test::NamedText> {};

TEST_P(ProgramFolder, NeverSplitsTheProgramPath) {
    TExportState state = State("lame", "-o <OUTPUT> --tt <TITLE>");
    state.EncodeDir = GetParam().text;
    const std::vector<std::string> args =
        splitCommandLine(BuildEncoderCommandLine(state, 1, 44100, "T", "A"));
    EXPECT_EQ(args,
              (std::vector<std::string>{state.EncodeDir + "lame", "-o", state.Edit2, "--tt", "T"}));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, ProgramFolder,
    testing::Values(test::NamedText{"QuoteInName", R"(/opt/inst"dir/addon.win/)"},
                    test::NamedText{"QuoteAsName", R"(/opt/"/)"},
                    test::NamedText{"TwoQuotes", R"(/opt/a""b/)"},
                    test::NamedText{"InjectedOption", R"(/opt/"x" -o /tmp/evil "/)"},
                    test::NamedText{"Space", "/opt/my dir/addon.win/"},
                    test::NamedText{"Tab", "/opt/tab\tdir/"},
                    test::NamedText{"WindowsFolder", R"(C:\Program Files\enc\)"},
                    test::NamedText{"BackslashQuote", R"(C:\a\"b\)"},
                    test::NamedText{"BackslashesAroundQuote", R"(/opt/\\"\/)"},
                    test::NamedText{"JapaneseAndQuotes", "/opt/夜の歌 \"曲\"/"},
                    test::NamedText{"None", ""}),
    test::ByNameField);

TEST(TagValueLimit, CutsOnACharacterBoundary) {
    const struct {
        std::string text;
        std::size_t max;
        std::string expected;
    } cases[] = {
        {"abc", 3, "abc"},
        {"abcd", 3, "abc"},
        {"", 0, ""},
        {"a\xE6\x9B\xB2", 3, "a"},             // a three-byte character does not fit
        {"a\xE6\x9B\xB2", 4, "a\xE6\x9B\xB2"}, // it just fits
        {"\xC3\xA9\xC3\xA9", 3, "\xC3\xA9"},
        {"\xF0\x9F\x8E\xB5x", 2, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LimitTagValue(c.text, c.max), c.expected) << c.text << " / " << c.max;
}

TEST(TagValueLimit, AVeryLongTagStillGivesAShortCommandLine) {
    std::string title;
    while (title.size() < 140000)
        title += "曲<ARTIST>";
    const std::string artist(200000, 'a');
    const std::vector<std::string> args = splitCommandLine(BuildEncoderCommandLine(
        State("lame", "--tt <TITLE> --ta <ARTIST>"), 1, 44100, title, artist));
    ASSERT_EQ(args.size(), 5u);
    EXPECT_LE(args[2].size(), kMaxTagValueBytes);
    EXPECT_GT(args[2].size(), kMaxTagValueBytes - 4);
    EXPECT_EQ(args[2].substr(0, 3), "曲");
    EXPECT_EQ(args[4], std::string(kMaxTagValueBytes, 'a') + " [Reduced]");
}

struct TemplateCase {
    const char* name;
    const char* tmpl;
    bool whole;
};

class TemplateCheck : public testing::TestWithParam<TemplateCase> {};

TEST_P(TemplateCheck, AcceptsOnlyPlaceholdersWhereAValueStaysOneArgument) {
    EXPECT_EQ(TemplateKeepsValuesWhole(GetParam().tmpl), GetParam().whole) << GetParam().tmpl;
}

INSTANTIATE_TEST_SUITE_P(
    Templates, TemplateCheck,
    testing::Values(TemplateCase{"Plain", "-s <SFREQ> --tt <TITLE> --ta <ARTIST> - <OUTPUT>", true},
                    TemplateCase{"ClosingALongerArgument", "-T TITLE=<TITLE> -o<OUTPUT>", true},
                    TemplateCase{"NoPlaceholders", "", true},
                    TemplateCase{"RateInsideQuotes", "\"--rate=<SFREQ>\" <TITLE>", true},
                    TemplateCase{"OtherPlaceholderLikeText", "--serial <SERIAL> <TITLE>", true},
                    TemplateCase{"QuotedPartEndsBefore", "\"a b\" <TITLE> \"c\"", true},
                    TemplateCase{"InsideQuotes", "\"--tt <TITLE>\"", false},
                    TemplateCase{"QuotedPartLeftOpen", "\"--tt <OUTPUT>", false},
                    TemplateCase{"AfterABackslash", "--tt \\<TITLE>", false},
                    TemplateCase{"AfterTwoBackslashes", "--tt \\\\<ARTIST>", false},
                    TemplateCase{"BeforeAQuote", "--tt <TITLE>\"x\"", false},
                    TemplateCase{"TwoValuesTouching", "<TITLE><ARTIST>", false},
                    TemplateCase{"ControlCharacter", "\x01 <TITLE>", false}),
    [](const testing::TestParamInfo<TemplateCase>& p) { return std::string(p.param.name); });

} // namespace
