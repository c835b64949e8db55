#include "app/dialogs/MessageQuery.h"
#include "app/dialogs/ProgramVersion.h"

#include <gtest/gtest.h>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace corvanel::dialogs {
namespace {

struct EncodingCase {
    const char* name;
    QString text;
    QByteArray encoded;
};

class QueryEncoding : public testing::TestWithParam<EncodingCase> {};

TEST_P(QueryEncoding, EncodesByteWise) {
    EXPECT_EQ(EncodeQueryText(GetParam().text), GetParam().encoded);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QueryEncoding,
    testing::Values(
        EncodingCase{"SpaceIsPlus", QStringLiteral("a b"), "a+b"},
        EncodingCase{"OnlySpaces", QStringLiteral("   "), "+++"},
        EncodingCase{"MarksPassUnchanged", QStringLiteral("!$'()*-.@_"), "!$'()*-.@_"},
        EncodingCase{"LettersAndDigits", QStringLiteral("AZaz09"), "AZaz09"},
        EncodingCase{"Ampersand", QStringLiteral("&"), "%26"},
        EncodingCase{"Equals", QStringLiteral("="), "%3D"},
        EncodingCase{"Question", QStringLiteral("?"), "%3F"},
        EncodingCase{"Percent", QStringLiteral("%"), "%25"},
        EncodingCase{"Plus", QStringLiteral("+"), "%2B"},
        EncodingCase{"OtherAscii", QStringLiteral("~#/\"<>"), "%7E%23%2F%22%3C%3E"},
        EncodingCase{"TwoLines", MessageFromEditorText(QStringLiteral("a\nb")), "a%0D%0Ab"},
        EncodingCase{"TrailingEmptyLine", MessageFromEditorText(QStringLiteral("a\n")), "a%0D%0A"},
        EncodingCase{"StopsAtZero", QString::fromUtf16(u"ab\u0000cd", 5), "ab"},
        EncodingCase{"Empty", QString(), ""}),
    [](const testing::TestParamInfo<EncodingCase>& row) { return std::string(row.param.name); });

TEST(QueryEncodingBytes, HighBytesBecomeUpperCaseHex) {
    EXPECT_EQ(EncodeQueryBytes(QByteArray("\x82\xa0\xff\x01", 4)), "%82%A0%FF%01");
}

TEST(QueryEncodingBytes, JapaneseGoesOutAsCodePageBytes) {
#ifdef Q_OS_WIN
    if (GetACP() != 932)
        GTEST_SKIP() << "the expected bytes are those of code page 932";
    EXPECT_EQ(EncodeQueryText(QStringLiteral("あい")), "%82%A0%82%A2");
#else
    // The locale's encoding on Linux is UTF-8: three bytes per kana.
    EXPECT_EQ(EncodeQueryText(QStringLiteral("あい")), "%E3%81%82%E3%81%84");
#endif
}

TEST(MessageTag, IsNameWordSizeAndVersion) {
    ASSERT_EQ(sizeof(void*), 8u) << "the expected tag is the 64-bit one";
    EXPECT_EQ(ProgramTag(), QStringLiteral("Corvanel (x64) 1.03"));
    EXPECT_EQ(EncodeQueryText(ProgramTag()), "Corvanel+(x64)+1.03");
    EXPECT_EQ(VersionWithWord(), QStringLiteral("1.03 (x64)"));
}

TEST(MessageQueryAddress, FieldsInOrderWithPassUnencoded) {
    EXPECT_EQ(BuildMessageQuery("http://host/cgi-bin/SoftMsg/message.cgi",
                                MessageFromEditorText(QStringLiteral("a b\n&"))),
              "http://host/cgi-bin/SoftMsg/message.cgi?Pass=k4w7pz2m&Main=a+b%0D%0A%26"
              "&soft=Corvanel+(x64)+1.03");
}

TEST(MessageQueryAddress, EnvironmentOverridesTheBuiltInEndpoint) {
    const QByteArray saved = qgetenv(kMessageEndpointVariable);
    qunsetenv(kMessageEndpointVariable);
    EXPECT_EQ(MessageEndpoint(), kDefaultMessageEndpoint);
    EXPECT_TRUE(MessageEndpoint().endsWith(kMessagePath));
    qputenv(kMessageEndpointVariable, "http://127.0.0.1:9/x.cgi");
    EXPECT_EQ(MessageEndpoint(), "http://127.0.0.1:9/x.cgi");
    qputenv(kMessageEndpointVariable, "");
    EXPECT_EQ(MessageEndpoint(), kDefaultMessageEndpoint);
    if (saved.isNull())
        qunsetenv(kMessageEndpointVariable);
    else
        qputenv(kMessageEndpointVariable, saved);
}

} // namespace
} // namespace corvanel::dialogs
