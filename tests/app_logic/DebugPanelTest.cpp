#include "app/logic/DebugPanel.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2024, 5, 17), QTime(14, 3, 9));
const DisplaySeparators kPlain{u'/', u':', QStringLiteral(".")};

TEST(DebugLines, StartUpValuesGiveTheReferenceList) {
    DebugSnapshot p;
    p.band1 = 199.99996948242188; // 10^log10(200) in single precision
    p.band2 = 16500.001953125;
    const QStringList expected{
        "Corvanel ver1.03",      "2024/05/17 14:03:09",  "----------------------",
        "VREnable:False",        "FFTPoint:16384",       "AParam  :70.00 [dB]",
        "PParam  :15.00 [Deg]",  "PanPot  :0.00",        "Band-1  :200 [Hz]",
        "Band-2  :16500 [Hz]",   "Inverse :False",       "----------------------",
        "Pitch   :0 [semitone]", "Speed   :0 [percent]",
    };
    EXPECT_EQ(DebugLines(p, kNow, kPlain), expected);
    EXPECT_EQ(DebugLines(p, kNow, kPlain).size(), kDebugLineCount);
}

TEST(DebugLines, BooleansAndOtherValues) {
    DebugSnapshot p;
    p.enable = true;
    p.inverse = true;
    p.fftPoint = 32768;
    p.aParam = 0;
    p.pParam = 1.05;
    p.keyChange = -7;
    p.tempo = 99.986;
    const QStringList l = DebugLines(p, kNow, kPlain);
    EXPECT_EQ(l[3], "VREnable:True");
    EXPECT_EQ(l[4], "FFTPoint:32768");
    EXPECT_EQ(l[5], "AParam  :0.00 [dB]");
    EXPECT_EQ(l[10], "Inverse :True");
    EXPECT_EQ(l[12], "Pitch   :-7 [semitone]");
    EXPECT_EQ(l[13], "Speed   :100 [percent]");
}

struct RoundCase {
    double value;
    const char* text;
};

class RoundedValue : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundedValue, HalvesGoToEven) {
    DebugSnapshot p;
    p.tempo = GetParam().value;
    p.keyChange = GetParam().value;
    p.band1 = GetParam().value;
    const QStringList l = DebugLines(p, kNow, kPlain);
    EXPECT_EQ(l[13], QStringLiteral("Speed   :%1 [percent]").arg(GetParam().text));
    EXPECT_EQ(l[12], QStringLiteral("Pitch   :%1 [semitone]").arg(GetParam().text));
    EXPECT_EQ(l[8], QStringLiteral("Band-1  :%1 [Hz]").arg(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Cases, RoundedValue,
                         testing::Values(RoundCase{19.6, "20"}, RoundCase{2.5, "2"},
                                         RoundCase{3.5, "4"}, RoundCase{-0.5, "0"},
                                         RoundCase{-1.5, "-2"}, RoundCase{199.99997, "200"},
                                         RoundCase{-49.997, "-50"}),
                         [](const auto& row) {
                             return "Value" + corvanel::test::CaseName(row.param.value);
                         });

struct FixedCase {
    double value;
    const char* point;
    const char* text;
};

class FixedValue : public testing::TestWithParam<FixedCase> {};

TEST_P(FixedValue, TwoDecimalsWithTheLocalesSeparator) {
    EXPECT_EQ(FormatFixed2(GetParam().value, QString::fromUtf8(GetParam().point)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FixedValue,
    testing::Values(FixedCase{-12.5, ".", "-12.50"}, FixedCase{-12.5, ",", "-12,50"},
                    FixedCase{16500.0, ".", "16500.00"}, // no grouping
                    FixedCase{-0.001, ".", "0.00"}, FixedCase{-0.0, ".", "0.00"},
                    FixedCase{15.0, ".", "15.00"}, FixedCase{59.996, ".", "60.00"}),
    [](const auto& row) {
        const bool comma = std::string_view(row.param.point) == ",";
        return "Value" + corvanel::test::CaseName(row.param.value) + (comma ? "_Comma" : "_Point");
    });

TEST(FormatRounded, HugeAndMissingValuesStayPrintable) {
    EXPECT_EQ(FormatRounded(1e300), "9223372036854775807");
    EXPECT_EQ(FormatRounded(-1e300), "-9223372036854775808");
    EXPECT_EQ(FormatRounded(std::numeric_limits<double>::quiet_NaN()), "0");
}

TEST(DebugLinesLocale, SeparatorsComeFromTheLocale) {
    DebugSnapshot p;
    p.panPot = -12.5;
    const QStringList de = DebugLines(p, kNow, QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de[1], "2024.05.17 14:03:09");
    EXPECT_EQ(de[7], "PanPot  :-12,50");
    EXPECT_EQ(de[9], "Band-2  :16500 [Hz]");
    const QStringList ja = DebugLines(p, kNow, QLocale(QLocale::Japanese, QLocale::Japan));
    EXPECT_EQ(ja[1], "2024/05/17 14:03:09");
    EXPECT_EQ(ja[7], "PanPot  :-12.50");
    const QStringList fi = DebugLines(p, kNow, QLocale(QLocale::Finnish, QLocale::Finland));
    EXPECT_EQ(fi[1], "2024.05.17 14.03.09");
}

TEST(DisplaySeparators, FallBackWhenTheFormatHasNoPunctuation) {
    // The C locale's short date is "d MMM yyyy": only spaces between the fields.
    const DisplaySeparators c = SeparatorsOf(QLocale::c());
    EXPECT_EQ(c.date, u'/');
    EXPECT_EQ(c.time, u':');
    EXPECT_EQ(c.decimal, ".");
    // "HH 'h' mm": a quoted word, not a separator.
    EXPECT_EQ(SeparatorsOf(QLocale(QLocale::French, QLocale::Canada)).time, u':');
    EXPECT_EQ(SeparatorsOf(QLocale(QLocale::Hungarian, QLocale::Hungary)).date, u'.');
}

} // namespace
