// The command line: how each option reaches the window's controls, and what is refused.
#include "cli/CliOptions.h"
#include "cli/ControlParams.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>

namespace corvanel::cli {
namespace {

struct ControlCase {
    const char* Name;
    std::vector<std::string> Args;
    std::function<void(const ReduceParams&)> Check;
};

void PrintTo(const ControlCase& c, std::ostream* os) {
    *os << c.Name;
}

class OptionValueTest : public ::testing::TestWithParam<ControlCase> {};

TEST_P(OptionValueTest, ReachesTheParameterAsTheWindowWouldSetIt) {
    std::vector<std::string> args = GetParam().Args;
    args.push_back("in.wav");
    const TParseResult parsed = ParseCliArguments(args);
    ASSERT_EQ(parsed.Error, "");
    ReduceParams params;
    SetParamsFromControls(parsed.Options.Controls, params);
    GetParam().Check(params);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, OptionValueTest,
    ::testing::Values(
        ControlCase{"Defaults",
                    {},
                    [](const ReduceParams& p) {
                        EXPECT_TRUE(p.VREnable);
                        EXPECT_FALSE(p.VRInverse);
                        EXPECT_EQ(p.VRAParam, 70.0);
                        EXPECT_EQ(p.VRPParam, 15.0);
                        EXPECT_EQ(p.VRPanPot, 0.0);
                        EXPECT_EQ(p.VRFFTPoint, 16384);
                        EXPECT_EQ(p.VRKeyChange, 0.0);
                        EXPECT_EQ(p.VRTempo, 0.0);
                        EXPECT_EQ(p.VRBand1, kStartBand1);
                        EXPECT_EQ(p.VRBand2, kStartBand2);
                    }},
        // The bars hold single-precision logarithms: the edges are not 200 and 16500.
        ControlCase{"BandThroughTheBarsLogarithm",
                    {"--band", "200", "16500"},
                    [](const ReduceParams& p) {
                        EXPECT_EQ(p.VRBand1, 199.99996948242188);
                        EXPECT_EQ(p.VRBand2, 16500.001953125);
                    }},
        ControlCase{"BandEdgesHeldByTheBarsRange",
                    {"--band", "1", "99999"},
                    [](const ReduceParams& p) {
                        EXPECT_EQ(p.VRBand1, 10.0);
                        EXPECT_NEAR(p.VRBand2, 24000.01, 0.01);
                    }},
        ControlCase{"BandEdgesMayBeReversed",
                    {"--band", "5000", "300"},
                    [](const ReduceParams& p) {
                        EXPECT_NEAR(p.VRBand1, 5000.0, 0.01);
                        EXPECT_NEAR(p.VRBand2, 300.0, 0.01);
                    }},
        ControlCase{"TempoInsideTheDeadZoneIsZero",
                    {"--tempo", "3"},
                    [](const ReduceParams& p) { EXPECT_EQ(p.VRTempo, 0.0); }},
        ControlCase{"TempoOutsideTheDeadZone",
                    {"--tempo", "20"},
                    [](const ReduceParams& p) { EXPECT_NEAR(p.VRTempo, 20.0, 1e-4); }},
        ControlCase{"TempoHeldAtTheBarsMaximum",
                    {"--tempo", "300"},
                    [](const ReduceParams& p) { EXPECT_NEAR(p.VRTempo, 99.99, 0.01); }},
        ControlCase{"PhaseOnItsStep",
                    {"-p", "15.04"},
                    [](const ReduceParams& p) { EXPECT_EQ(p.VRPParam, 15.0); }},
        ControlCase{
            "PhaseInSinglePrecision",
            {"--phase=22.3"},
            [](const ReduceParams& p) { EXPECT_EQ(p.VRPParam, static_cast<double>(22.3f)); }},
        ControlCase{"AmplitudeHeldAtSeventy",
                    {"-a", "100"},
                    [](const ReduceParams& p) { EXPECT_EQ(p.VRAParam, 70.0); }},
        ControlCase{"PanNegative",
                    {"--pan", "-7.5"},
                    [](const ReduceParams& p) { EXPECT_EQ(p.VRPanPot, -7.5); }},
        ControlCase{"KeyHalvesToEven",
                    {"--key", "2.5"},
                    [](const ReduceParams& p) { EXPECT_EQ(p.VRKeyChange, 2.0); }},
        ControlCase{"KeyWithPlusSign",
                    {"--key", "+3"},
                    [](const ReduceParams& p) { EXPECT_EQ(p.VRKeyChange, 3.0); }},
        ControlCase{"KeyHeldAtSeven",
                    {"--key", "-12"},
                    [](const ReduceParams& p) { EXPECT_EQ(p.VRKeyChange, -7.0); }},
        ControlCase{"FrameLength",
                    {"--fft", "32768"},
                    [](const ReduceParams& p) { EXPECT_EQ(p.VRFFTPoint, 32768); }},
        ControlCase{"OffAndInverse",
                    {"--off", "--inverse"},
                    [](const ReduceParams& p) {
                        EXPECT_FALSE(p.VREnable);
                        EXPECT_TRUE(p.VRInverse);
                    }},
        ControlCase{"LaterOptionWins",
                    {"-a", "10", "--amplitude", "20"},
                    [](const ReduceParams& p) { EXPECT_EQ(p.VRAParam, 20.0); }}),
    [](const auto& param) { return std::string(param.param.Name); });

TEST(OptionNotes, OnlyValuesAControlHeldDifferentlyAreNoted) {
    const TParseResult parsed =
        ParseCliArguments({"-a", "100", "-p", "22.3", "--band", "200", "99999", "x.wav"});
    ASSERT_EQ(parsed.Error, "");
    ASSERT_EQ(parsed.Options.Notes.size(), 2u);
    EXPECT_EQ(parsed.Options.Notes[0], "-a 100: the control holds 70");
    EXPECT_NE(parsed.Options.Notes[1].find("--band 99999"), std::string::npos);
}

TEST(OptionFields, BatchOptions) {
    const TParseResult parsed = ParseCliArguments({"-d", "out", "-f", ".MP3", "-q", "hi", "-j", "3",
                                                   "--quiet", "--force", "a.wav", "--", "-b.wav"});
    ASSERT_EQ(parsed.Error, "");
    const TCliOptions& o = parsed.Options;
    EXPECT_EQ(o.OutDir, "out");
    EXPECT_EQ(o.Format, "MP3");
    EXPECT_EQ(o.Quality, 2);
    EXPECT_EQ(o.Jobs, 3);
    EXPECT_TRUE(o.Quiet);
    EXPECT_TRUE(o.Force);
    EXPECT_EQ(o.Inputs, (std::vector<std::string>{"a.wav", "-b.wav"}));
}

// An option may be shortened to any start that no other option shares.
TEST(OptionFields, UniquePrefixesAreTheOption) {
    const TParseResult parsed =
        ParseCliArguments({"--inv", "--outp", "x.mp3", "--form=mp3", "--ke", "2", "--forc", "-"});
    ASSERT_EQ(parsed.Error, "");
    const TCliOptions& o = parsed.Options;
    EXPECT_TRUE(o.Controls.Switch2);
    EXPECT_EQ(o.Output, "x.mp3");
    EXPECT_EQ(o.Format, "mp3");
    EXPECT_EQ(o.Controls.SpinKeyChange, 2.0);
    EXPECT_TRUE(o.Force);
    EXPECT_EQ(o.Inputs, std::vector<std::string>{"-"});
    EXPECT_EQ(ParseCliArguments({"--vers"}).Options.Action, TCliOptions::TAction::Version);
    EXPECT_EQ(ParseCliArguments({"--he"}).Options.Action, TCliOptions::TAction::Help);
}

TEST(OptionFields, HelpAndVersionNeedNoInput) {
    EXPECT_EQ(ParseCliArguments({"--help"}).Options.Action, TCliOptions::TAction::Help);
    EXPECT_EQ(ParseCliArguments({"-h"}).Error, "");
    EXPECT_EQ(ParseCliArguments({"--version"}).Options.Action, TCliOptions::TAction::Version);
}

struct UsageCase {
    const char* Name;
    std::vector<std::string> Args;
    const char* ErrorPart;
};

void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << c.Name;
}

class UsageErrorTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrorTest, IsRefused) {
    const TParseResult parsed = ParseCliArguments(GetParam().Args);
    EXPECT_NE(parsed.Error.find(GetParam().ErrorPart), std::string::npos) << parsed.Error;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, UsageErrorTest,
    ::testing::Values(
        UsageCase{"NoInput", {"-a", "3"}, "no input"},
        UsageCase{"UnknownLong", {"--loud", "a.wav"}, "unknown option --loud"},
        UsageCase{"UnknownShort", {"-x", "a.wav"}, "unknown option -x"},
        UsageCase{"MissingValue", {"a.wav", "-a"}, "-a needs a value"},
        UsageCase{"BandNeedsTwo", {"a.wav", "--band", "200"}, "two values"},
        UsageCase{"NotANumber", {"-a", "loud", "a.wav"}, "not a number"},
        UsageCase{"InfinityIsNotANumber", {"--pan", "inf", "a.wav"}, "not a number"},
        UsageCase{"TrailingText", {"-p", "15deg", "a.wav"}, "not a number"},
        UsageCase{"FrameLengthNotListed", {"--fft", "20000", "a.wav"}, "8192"},
        UsageCase{"BandNotPositive", {"--band", "0", "100", "a.wav"}, "frequency"},
        UsageCase{"TempoBelowMinusHundred", {"--tempo", "-100", "a.wav"}, "tempo"},
        UsageCase{"QualityWord", {"-q", "best", "a.wav"}, "lo, md or hi"},
        UsageCase{"JobsZero", {"-j", "0", "a.wav"}, "jobs"},
        UsageCase{"FlagWithValue", {"--force=yes", "a.wav"}, "no value"},
        UsageCase{"FormatWithPath", {"-f", "a/b", "a.wav"}, "not an extension"},
        UsageCase{"OutputForTwoInputs", {"-o", "x.wav", "a.wav", "b.wav"}, "-o"},
        UsageCase{"OutputWithOutDir", {"-o", "x.wav", "-d", "o", "a.wav"}, "-d"},
        UsageCase{"UnreadableSettings",
                  {"--settings", "/nonexistent/corvanel.ini", "a.wav"},
                  "settings file"},
        UsageCase{"StandardInputWithoutOutput", {"-"}, "needs -o"},
        UsageCase{"StandardInputAmongOthers", {"-o", "-", "-", "b.wav"}, "-o"},
        // Unique prefixes only, as getopt_long takes them.
        UsageCase{"PrefixOfTwo",
                  {"--out", "x.wav", "a.wav"},
                  "option --out is ambiguous (--output, --out-dir)"},
        UsageCase{"PrefixOfThree",
                  {"--f", "mp3", "a.wav"},
                  "option --f is ambiguous (--format, --fft, --force)"},
        UsageCase{"PrefixOfQualityOrQuiet",
                  {"--qu", "a.wav"},
                  "option --qu is ambiguous (--quality, --quiet)"},
        UsageCase{"PrefixOfNothing", {"--inx", "a.wav"}, "unknown option --inx"},
        UsageCase{"PrefixFlagWithValue", {"--forc=yes", "a.wav"}, "--force takes no value"}),
    [](const auto& param) { return std::string(param.param.Name); });

// --settings puts the controls where the window's loader puts them, from the window's start-up
// controls; the options around it are replaced (before) or override (after).
TEST(SettingsOption, LoadsLikeTheWindowAndLaterOptionsOverride) {
    TSettings file;
    file.Enable = false;
    file.Inverse = true;
    file.ParamAmplitude = 100.0; // held to 70
    file.ParamPhase = 22.34;
    file.FFTPoint = 20000; // item 1
    file.Tempo = 3.0;      // dead zone
    file.FreqRangeA = 150.0;
    file.KeyChange = -2.0;
    const auto loader = [&](const std::filesystem::path& p) -> std::optional<TSettings> {
        EXPECT_EQ(p, "my.ini");
        return file;
    };
    const TSettingsControls expected = ControlsFromSettings(file, TSettingsControls{});

    const TParseResult plain =
        ParseCliArguments({"-a", "5", "--settings", "my.ini", "a.wav"}, loader);
    ASSERT_EQ(plain.Error, "");
    EXPECT_EQ(plain.Options.Controls.TrackAParam, 70.0);
    EXPECT_EQ(plain.Options.Controls.Switch1, false);
    EXPECT_EQ(plain.Options.Controls.TrackPParam, expected.TrackPParam);
    EXPECT_EQ(plain.Options.Controls.Freqbar1, expected.Freqbar1);
    EXPECT_EQ(plain.Options.Controls.PopboxFFT, 1);
    EXPECT_EQ(plain.Options.Controls.SpinKeyChange, -2.0);

    const TParseResult overridden =
        ParseCliArguments({"--settings", "my.ini", "-a", "5", "--key", "1", "a.wav"}, loader);
    ASSERT_EQ(overridden.Error, "");
    EXPECT_EQ(overridden.Options.Controls.TrackAParam, 5.0);
    EXPECT_EQ(overridden.Options.Controls.SpinKeyChange, 1.0);
    EXPECT_EQ(overridden.Options.Controls.Switch2, true);
}

TEST(SettingsOption, ReadsARealSettingsFile) {
    const test::TempFolder folder;
    const auto ini = folder / "corvanel.ini";
    std::ofstream(ini) << "[Listening]\nVolume=45\n\n[Parameters]\nEnable=1\nParamPhase=40\n"
                          "FFTPoint=8192\nFreqRangeB=9000\nTempo=-20\n";
    const TParseResult parsed = ParseCliArguments({"--settings", ini.string(), "a.wav"});
    ASSERT_EQ(parsed.Error, "");
    ReduceParams p;
    SetParamsFromControls(parsed.Options.Controls, p);
    EXPECT_TRUE(p.VREnable);
    EXPECT_EQ(p.VRPParam, 40.0);
    EXPECT_EQ(p.VRAParam, 60.0); // the file's default, not the start-up 70
    EXPECT_EQ(p.VRFFTPoint, 8192);
    EXPECT_NEAR(p.VRBand2, 9000.0, 0.01);
    EXPECT_NEAR(p.VRTempo, -20.0, 1e-3);
}

} // namespace
} // namespace corvanel::cli
