#include "controls/IniFile.h"
#include "tests/support/Text.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

using corvanel::TIniFile;

namespace {

TIniFile Loaded(std::string_view bytes) {
    TIniFile file('.');
    file.LoadFromBytes(bytes);
    return file;
}

TEST(IniFileLookup, SectionsAndKeysIgnoreCaseAndFirstKeyWins) {
    const TIniFile file = Loaded("stray=1\n"
                                 "[Parameters]\n"
                                 "  Tempo =  12.5  \n"
                                 "; Tempo=99\n"
                                 "TEMPO=7\n"
                                 "[OTHER]\n"
                                 "x=1\n"
                                 "[parameters]\n"
                                 "Late=3\n");
    EXPECT_EQ(file.ReadString("PARAMETERS", "tempo"), "12.5");
    EXPECT_EQ(file.ReadString("Parameters", "late"), "3")
        << "a repeated section continues the first";
    EXPECT_EQ(file.ReadString("Parameters", "stray"), std::nullopt) << "lines before a section";
    EXPECT_EQ(file.ReadString("Missing", "x"), std::nullopt);
    EXPECT_EQ(file.SectionNames(), (std::vector<std::string>{"Parameters", "OTHER"}));
}

TEST(IniFileLookup, EmptyValueIsReadAsEmptyButNumbersFallBack) {
    const TIniFile file = Loaded("[s]\nv=\n");
    EXPECT_EQ(file.ReadString("s", "v"), "");
    EXPECT_EQ(file.ReadFloat("s", "v", 20.0), 20.0);
    EXPECT_EQ(file.ReadInteger("s", "v", 16384), 16384);
    EXPECT_TRUE(file.ReadBool("s", "v", true));
}

struct FloatCase {
    const char* name;
    const char* text;
    std::optional<double> expected;
};

class IniFloatParse : public testing::TestWithParam<FloatCase> {};

TEST_P(IniFloatParse, ReadsGeneralDecimalFormOnly) {
    const TIniFile file('.');
    EXPECT_EQ(file.ParseFloat(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IniFloatParse,
    testing::Values(
        FloatCase{"Integer", "45", 45.0}, FloatCase{"Negative", "-20", -20.0},
        FloatCase{"PlusSign", "+3", 3.0}, FloatCase{"Decimal", "0.5", 0.5},
        FloatCase{"NoDigitBeforePoint", ".5", 0.5}, FloatCase{"NoDigitAfterPoint", "5.", 5.0},
        FloatCase{"SignedExponent", "1e+20", 1e20}, FloatCase{"CapitalExponent", "1E-6", 1e-6},
        FloatCase{"FifteenDigits", "199.999969482422", 199.999969482422},
        FloatCase{"Empty", "", std::nullopt}, FloatCase{"Word", "yes", std::nullopt},
        FloatCase{"CommaForPoint", "1,5", std::nullopt},
        FloatCase{"TrailingLetters", "12abc", std::nullopt},
        FloatCase{"Infinity", "inf", std::nullopt}, FloatCase{"NotANumber", "nan", std::nullopt},
        FloatCase{"OutOfRange", "1e999", std::nullopt},
        FloatCase{"ExponentWithoutDigits", "1e", std::nullopt},
        FloatCase{"LonePoint", ".", std::nullopt}, FloatCase{"Hexadecimal", "0x10", std::nullopt}),
    corvanel::test::ByNameField);

struct IntegerCase {
    const char* text;
    std::optional<std::int32_t> expected;
};

class IniIntegerParse : public testing::TestWithParam<IntegerCase> {};

TEST_P(IniIntegerParse, ReadsDecimalAndHexadecimal) {
    EXPECT_EQ(TIniFile::ParseInteger(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IniIntegerParse,
    testing::Values(IntegerCase{"16384", 16384}, IntegerCase{"-7", -7}, IntegerCase{"+2", 2},
                    IntegerCase{"0x8000", 32768}, IntegerCase{"0X1f", 31},
                    IntegerCase{"0xFFFFFFFF", -1}, IntegerCase{"0x", std::nullopt},
                    IntegerCase{"0x1G", std::nullopt}, IntegerCase{"yes", std::nullopt},
                    IntegerCase{"2.5", std::nullopt}, IntegerCase{"", std::nullopt},
                    IntegerCase{"2147483648", std::nullopt}, IntegerCase{"+-1", std::nullopt}),
    [](const auto& row) { return "Text" + corvanel::test::CaseName(row.param.text); });

struct FormatCase {
    double value;
    const char* expected;
};

class IniFloatFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(IniFloatFormat, WritesUpToFifteenSignificantDigits) {
    const TIniFile file('.');
    EXPECT_EQ(file.FormatFloat(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, IniFloatFormat,
    testing::Values(FormatCase{45.0, "45"}, FormatCase{-20.0, "-20"}, FormatCase{0.1, "0.1"},
                    FormatCase{-0.0, "0"},
                    // a band edge widened from single precision
                    FormatCase{static_cast<double>(199.99997f), "199.999969482422"},
                    FormatCase{static_cast<double>(20.1f), "20.1000003814697"},
                    FormatCase{1e20, "1e+20"}, FormatCase{1.5e-7, "1.5e-07"},
                    // 15 digits would round beyond the largest double
                    FormatCase{1.7976931348623157e308, "1.7976931348623157e+308"},
                    FormatCase{-1.7976931348623157e308, "-1.7976931348623157e+308"},
                    FormatCase{1.7976931348623e308, "1.7976931348623e+308"}),
    [](const auto& row) { return "Value" + corvanel::test::CaseName(row.param.value); });

TEST(IniFileNumbers, FloatsAtTheEndsOfTheRangeReadBack) {
    for (const double value : {1.7976931348623157e308, -1.7976931348623157e308,
                               1.7976931348623155e308, 4.9e-324, 0.1, 1e300}) {
        TIniFile file('.');
        ASSERT_TRUE(file.WriteFloat("s", "v", value));
        EXPECT_EQ(Loaded(file.ToBytes()).ReadFloat("s", "v", 7.0), value) << file.ToText();
    }
    TIniFile file('.');
    for (const double value :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(file.WriteFloat("s", "v", value)) << value;
    EXPECT_EQ(file.ToText(), "") << "a refused write changes nothing";
}

struct WriteCase {
    const char* name;
    std::string section, key, value;
    bool accepted;
};

class IniFileWrite : public testing::TestWithParam<WriteCase> {};

// What is written reads back as the same sections, keys and values; what a line cannot carry
// is refused and leaves the file as it was.
TEST_P(IniFileWrite, ReadsBackOrIsRefused) {
    const WriteCase& c = GetParam();
    TIniFile file = Loaded("[s]\nkept=1\n");
    EXPECT_EQ(file.WriteString(c.section, c.key, c.value), c.accepted);
    const TIniFile back = Loaded(file.ToBytes());
    EXPECT_EQ(back.ReadString("s", "kept"), "1");
    if (c.accepted) {
        EXPECT_EQ(back.ReadString(c.section, c.key), c.value) << file.ToText();
        EXPECT_EQ(back.SectionNames(), file.SectionNames());
    } else {
        EXPECT_EQ(file.ToText(), "[s]\nkept=1\n\n");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IniFileWrite,
    testing::Values(WriteCase{"Plain", "s", "k", "v", true},
                    WriteCase{"NewSection", "new one", "k", "v", true},
                    WriteCase{"ValueWithEqualsAndSemicolon", "s", "k", "a=b;c", true},
                    WriteCase{"EmptyValue", "s", "k", "", true},
                    WriteCase{"ValueLikeASection", "s", "k", "[x]", true},
                    WriteCase{"KeyOpeningABracket", "s", "[k", "v", true},
                    WriteCase{"Utf8", "節", "キー", "値 \"q\"", true},
                    WriteCase{"LineBreakInValue", "s", "k", "a\n[evil]\nx=1", false},
                    WriteCase{"CarriageReturnInValue", "s", "k", "a\rb", false},
                    WriteCase{"LineBreakInKey", "s", "k\nx", "v", false},
                    WriteCase{"LineBreakInSection", "a]\n[b", "k", "v", false},
                    WriteCase{"KeyStartingAComment", "s", ";k", "v", false},
                    WriteCase{"KeyHoldingEquals", "s", "a=b", "v", false},
                    WriteCase{"LineReadAsASection", "s", "[k", "v]", false},
                    WriteCase{"SpaceAroundValue", "s", "k", " v ", false},
                    WriteCase{"SpaceAroundKey", "s", " k", "v", false},
                    WriteCase{"SpaceAroundSection", " s2", "k", "v", false},
                    WriteCase{"ControlCharacterAtTheEnd", "s", "k", std::string("v\0", 2), false}),
    [](const testing::TestParamInfo<WriteCase>& p) { return std::string(p.param.name); });

TEST(IniFileNumbers, UserDecimalSeparatorIsUsedBothWays) {
    TIniFile file(',');
    file.WriteFloat("s", "v", 12.25);
    EXPECT_EQ(file.ReadString("s", "v"), "12,25");
    EXPECT_EQ(file.ReadFloat("s", "v", 0.0), 12.25);
    EXPECT_EQ(file.ParseFloat("12.25"), std::nullopt);
}

TEST(IniFileNumbers, BooleansAreIntegers) {
    const TIniFile file = Loaded("[s]\na=1\nb=0\nc=2\nd=yes\ne=0x0\nf=-1\n");
    EXPECT_TRUE(file.ReadBool("s", "a", false));
    EXPECT_FALSE(file.ReadBool("s", "b", true));
    EXPECT_TRUE(file.ReadBool("s", "c", false));
    EXPECT_FALSE(file.ReadBool("s", "d", false));
    EXPECT_TRUE(file.ReadBool("s", "d", true)) << "unreadable gives the default";
    EXPECT_FALSE(file.ReadBool("s", "e", true));
    EXPECT_TRUE(file.ReadBool("s", "f", false));
    TIniFile out('.');
    out.WriteBool("s", "t", true);
    out.WriteBool("s", "f", false);
    EXPECT_EQ(out.ReadString("s", "t"), "1");
    EXPECT_EQ(out.ReadString("s", "f"), "0");
}

TEST(IniFileRewrite, KeepsOtherContentDropsCommentsAndTrims) {
    TIniFile file = Loaded("; header comment\n"
                           "orphan=1\n"
                           "\n"
                           "[User]\n"
                           "  name  =  K  \n"
                           "free text line\n"
                           "; comment inside\n"
                           "[listening]\n"
                           "VOLUME = 3\n"
                           "Extra=keep\n");
    file.WriteFloat("Listening", "Volume", 45.0);
    file.WriteString("Parameters", "Enable", "1");
    file.WriteString("user", "Added", "x");
    EXPECT_EQ(file.ToText(), "[User]\n"
                             "name=K\n"
                             "free text line\n"
                             "Added=x\n"
                             "\n"
                             "[listening]\n"
                             "VOLUME=45\n"
                             "Extra=keep\n"
                             "\n"
                             "[Parameters]\n"
                             "Enable=1\n"
                             "\n");
}

TEST(IniFileRewrite, CrLfAndLoneCrEndLines) {
    const TIniFile file = Loaded("[a]\r\nx=1\r\ny=2\rz=3");
    EXPECT_EQ(file.ReadString("a", "x"), "1");
    EXPECT_EQ(file.ReadString("a", "y"), "2");
    EXPECT_EQ(file.ReadString("a", "z"), "3");
}

struct BomCase {
    const char* name;
    std::string bytes; // "[日本]\nキー=値\n[s]\nv=5\n" in the case's encoding
    TIniFile::TTextEncoding encoding;
};

const std::u16string kBomText = u"[日本]\nキー=値\n[s]\nv=5\n";
const std::string kBomTextUtf8 = "[日本]\nキー=値\n[s]\nv=5\n";

class IniFileBom : public testing::TestWithParam<BomCase> {};

TEST_P(IniFileBom, ReadsAndWritesBackInTheMarkedEncoding) {
    TIniFile file = Loaded(GetParam().bytes);
    EXPECT_EQ(file.Encoding(), GetParam().encoding);
    EXPECT_EQ(file.ReadString("日本", "キー"), "値");
    EXPECT_EQ(file.ReadInteger("S", "V", 0), 5);
    // The rewrite is in the same encoding, mark first, with an empty line after each section.
    file.WriteInteger("s", "v", 5);
    const std::string expectedText = "[日本]\nキー=値\n\n[s]\nv=5\n\n";
    TIniFile reread = Loaded(file.ToBytes());
    EXPECT_EQ(reread.Encoding(), GetParam().encoding);
    EXPECT_EQ(reread.ToText(), expectedText);
    EXPECT_EQ(file.ToBytes().substr(0, 2), GetParam().bytes.substr(0, 2));
}

INSTANTIATE_TEST_SUITE_P(
    Marks, IniFileBom,
    testing::Values(BomCase{"utf8", "\xEF\xBB\xBF" + kBomTextUtf8, TIniFile::TTextEncoding::Utf8},
                    BomCase{"utf16le", corvanel::test::Utf16WithMark(kBomText, false),
                            TIniFile::TTextEncoding::Utf16LE},
                    BomCase{"utf16be", corvanel::test::Utf16WithMark(kBomText, true),
                            TIniFile::TTextEncoding::Utf16BE},
                    BomCase{"none", kBomTextUtf8, TIniFile::TTextEncoding::Ansi}),
    [](const testing::TestParamInfo<BomCase>& param) { return std::string(param.param.name); });

#ifndef _WIN32
TEST(IniFileBom, BytesTheLocaleCannotDecodePassThroughUntouched) {
    // Latin-1 bytes in a file without a mark, on a UTF-8 system.
    const std::string bytes = "[Caf\xE9]\nk=\xFF\xFE\xE9\n";
    TIniFile file = Loaded(bytes);
    file.WriteInteger("s", "v", 1);
    EXPECT_EQ(file.ToBytes(), "[Caf\xE9]\nk=\xFF\xFE\xE9\n\n[s]\nv=1\n\n");
}
#endif

} // namespace
