#include "controls/Settings.h"
#include "controls/ControlRules.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace corvanel;

namespace {

void WriteAll(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class SettingsFileTest : public testing::Test {
  protected:
    void TearDown() override {
        // A test may lock them; the folder's removal needs them open again.
        std::error_code ignored;
        fs::permissions(dir, fs::perms::owner_all, ignored);
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, ignored);
    }
    test::TempFolder folder;
    const fs::path dir = folder.Path();
    const fs::path file = dir / "corvanel.ini";
};

// Everything a program-written file holds, in its order.
const char* const kFreshFile = "[Listening]\n"
                               "Volume=45.5\n"
                               "\n"
                               "[Parameters]\n"
                               "Enable=1\n"
                               "Inverse=1\n"
                               "ParamAmplitude=12.25\n"
                               "ParamPhase=7.5\n"
                               "ParamPanPot=-3.5\n"
                               "FFTPoint=32768\n"
                               "KeyChange=-2\n"
                               "Tempo=-25.125\n"
                               "FreqRangeA=199.999969482422\n"
                               "FreqRangeB=16500.001953125\n"
                               "\n";

TSettings Unusual() {
    TSettings s;
    s.Volume = 45.5;
    s.Enable = true;
    s.Inverse = true;
    s.ParamAmplitude = 12.25;
    s.ParamPhase = 7.5;
    s.ParamPanPot = -3.5;
    s.FFTPoint = 32768;
    s.KeyChange = -2;
    s.Tempo = -25.125;
    s.FreqRangeA = 199.999969482422;
    s.FreqRangeB = 16500.001953125;
    return s;
}

TEST_F(SettingsFileTest, FirstRunLoadsNothingAndCloseCreatesBothSections) {
    EXPECT_EQ(LoadSettingsFile(file), std::nullopt);
    ASSERT_TRUE(SaveSettingsFile(file, Unusual()));
    EXPECT_EQ(test::ReadFile(file), kFreshFile);
}

TEST_F(SettingsFileTest, EveryValueSurvivesARoundTrip) {
    ASSERT_TRUE(SaveSettingsFile(file, Unusual()));
    EXPECT_EQ(LoadSettingsFile(file), Unusual());

    TSettings other = Unusual();
    other.Enable = false;
    other.FFTPoint = 8192;
    other.Volume = 0.0;
    ASSERT_TRUE(SaveSettingsFile(file, other));
    EXPECT_EQ(LoadSettingsFile(file), other);
}

TEST(SettingsSessions, BandBarsDoNotDriftOverSessions) {
    // Each session: bar -> edge (10^v in single precision) -> file text -> loaded -> bar.
    for (float bar = 1.0f; bar <= 4.38f; bar += 0.0137f) {
        TSettingsControls controls;
        controls.Freqbar1 = bar;
        for (int session = 0; session < 3; ++session) {
            TSettings s;
            s.FreqRangeA =
                static_cast<double>(std::pow(10.0f, static_cast<float>(controls.Freqbar1)));
            TIniFile saved('.');
            WriteSettings(saved, s);
            TIniFile loaded('.');
            loaded.LoadFromBytes(saved.ToBytes());
            controls = ControlsFromSettings(ReadSettings(loaded), controls);
        }
        EXPECT_EQ(controls.Freqbar1, static_cast<double>(bar));
    }
}

TEST_F(SettingsFileTest, RewriteKeepsTheUsersOtherSections) {
    WriteAll(file, "; my notes\n"
                   "[Window]\n"
                   "Left = 10\n"
                   "[parameters]\n"
                   "mine=keep\n"
                   "tempo=3\n"
                   "[Recent]\n"
                   "File1=/music/曲.mp3\n");
    TSettings s;
    s.Tempo = 0.0;
    ASSERT_TRUE(SaveSettingsFile(file, s));
    EXPECT_EQ(test::ReadFile(file), "[Window]\n"
                                    "Left=10\n"
                                    "\n"
                                    "[parameters]\n"
                                    "mine=keep\n"
                                    "tempo=0\n"
                                    "Enable=0\n"
                                    "Inverse=0\n"
                                    "ParamAmplitude=60\n"
                                    "ParamPhase=30\n"
                                    "ParamPanPot=0\n"
                                    "FFTPoint=16384\n"
                                    "KeyChange=0\n"
                                    "FreqRangeA=200\n"
                                    "FreqRangeB=16500\n"
                                    "\n"
                                    "[Recent]\n"
                                    "File1=/music/曲.mp3\n"
                                    "\n"
                                    "[Listening]\n"
                                    "Volume=20\n"
                                    "\n");
}

TEST_F(SettingsFileTest, BomFileIsReadAndWrittenBackWithItsMark) {
    WriteAll(file, "\xEF\xBB\xBF[Listening]\nVolume=45\n[Own]\nキー=値\n");
    const std::optional<TSettings> loaded = LoadSettingsFile(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Volume, 45.0);
    ASSERT_TRUE(SaveSettingsFile(file, *loaded));
    const std::string bytes = test::ReadFile(file);
    EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF[Listening]\nVolume=45\n\n[Own]\nキー=値\n\n", 0), 0u)
        << bytes;
}

TEST_F(SettingsFileTest, UnwritablePathIsReportedNotThrown) {
    EXPECT_FALSE(SaveSettingsFile(dir / "missing-folder" / "corvanel.ini", TSettings{}));
    fs::create_directory(file);
    EXPECT_FALSE(SaveSettingsFile(file, TSettings{}));
    EXPECT_TRUE(fs::is_directory(file));
}

TEST_F(SettingsFileTest, ReadOnlyFolderIsReportedNotThrown) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(SaveSettingsFile(file, TSettings{}));
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(SettingsFileTest, UnreadableFileIsNotOverwritten) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads files without read permission";
    WriteAll(file, "[Own]\nprecious=1\n");
    fs::permissions(file, fs::perms::owner_write);
    EXPECT_EQ(LoadSettingsFile(file), std::nullopt);
    EXPECT_FALSE(SaveSettingsFile(file, TSettings{}));
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(test::ReadFile(file), "[Own]\nprecious=1\n");
}

// What the loader puts into the controls for a given file.
struct LoadCase {
    const char* name;
    const char* file;
    double (*control)(const TSettingsControls&);
    double expected;
};

double Volume(const TSettingsControls& c) {
    return c.VolumeBar;
}
double Amplitude(const TSettingsControls& c) {
    return c.TrackAParam;
}
double Phase(const TSettingsControls& c) {
    return c.TrackPParam;
}
double PanPot(const TSettingsControls& c) {
    return c.TrackPanPot;
}
double Fft(const TSettingsControls& c) {
    return c.PopboxFFT;
}
double Key(const TSettingsControls& c) {
    return c.SpinKeyChange;
}
double Tempo(const TSettingsControls& c) {
    return c.TrackTempo;
}
double Band1(const TSettingsControls& c) {
    return c.Freqbar1;
}
double Band2(const TSettingsControls& c) {
    return c.Freqbar2;
}
double Enable(const TSettingsControls& c) {
    return c.Switch1 ? 1 : 0;
}
double Inverse(const TSettingsControls& c) {
    return c.Switch2 ? 1 : 0;
}

double F(double v) {
    return static_cast<double>(static_cast<float>(v));
}

class SettingsLoad : public testing::TestWithParam<LoadCase> {};

TEST_P(SettingsLoad, ValueReachesItsControlLimited) {
    TIniFile file('.');
    file.LoadFromBytes(GetParam().file);
    const TSettingsControls controls = ControlsFromSettings(ReadSettings(file), {});
    EXPECT_EQ(GetParam().control(controls), GetParam().expected);
}

const char* const kOnlyVolume = "[Listening]\nVolume=45\n";

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsLoad,
    testing::Values(
        // only "Volume": the other values take the file's defaults, not the start-up ones
        LoadCase{"OnlyVolume", kOnlyVolume, Volume, 45.0},
        LoadCase{"OnlyVolumeAmplitude", kOnlyVolume, Amplitude, 60.0},
        LoadCase{"OnlyVolumePhase", kOnlyVolume, Phase, 30.0},
        LoadCase{"OnlyVolumeFft", kOnlyVolume, Fft, 1.0},
        LoadCase{"OnlyVolumeBand1", kOnlyVolume, Band1, F(std::log10(200.0))},
        LoadCase{"OnlyVolumeBand2", kOnlyVolume, Band2, F(std::log10(16500.0))},
        LoadCase{"Tempo3", "[Parameters]\nTempo=3\n", Tempo, F(std::log10(1.03))},
        LoadCase{"TempoAboveRange", "[Parameters]\nTempo=150\n", Tempo, F(0.301)},
        LoadCase{"TempoMinus100", "[Parameters]\nTempo=-100\n", Tempo, F(-0.301)},
        LoadCase{"Fft32768", "[Parameters]\nFFTPoint=32768\n", Fft, 2.0},
        LoadCase{"Fft20000", "[Parameters]\nFFTPoint=20000\n", Fft, 1.0},
        LoadCase{"Fft8192", "[Parameters]\nFFTPoint=8192\n", Fft, 0.0},
        LoadCase{"FftHex", "[Parameters]\nFFTPoint=0x8000\n", Fft, 2.0},
        LoadCase{"FftTooSmall", "[Parameters]\nFFTPoint=1024\n", Fft, 0.0},
        LoadCase{"FftZero", "[Parameters]\nFFTPoint=0\n", Fft, 0.0},
        LoadCase{"FftTooLarge", "[Parameters]\nFFTPoint=1048576\n", Fft, 2.0},
        // 2^13.5 = 11585.2: item 0.5 rounds to the even 0
        LoadCase{"FftHalfItem", "[Parameters]\nFFTPoint=11585\n", Fft, 0.0},
        LoadCase{"FftText", "[Parameters]\nFFTPoint=big\n", Fft, 1.0},
        LoadCase{"EnableYes", "[Parameters]\nEnable=yes\n", Enable, 0.0},
        LoadCase{"Enable2", "[Parameters]\nEnable=2\n", Enable, 1.0},
        LoadCase{"InverseHex", "[PARAMETERS]\ninverse=0x1\n", Inverse, 1.0},
        LoadCase{"Amplitude100", "[Parameters]\nParamAmplitude=100\n", Amplitude, 70.0},
        LoadCase{"AmplitudeNegative", "[Parameters]\nParamAmplitude=-1\n", Amplitude, 0.0},
        LoadCase{"PhaseStep", "[Parameters]\nParamPhase=15.04\n", Phase, F(15.0)},
        LoadCase{"PhaseBelowMin", "[Parameters]\nParamPhase=0\n", Phase, 1.0},
        LoadCase{"PhaseHalfStep", "[Parameters]\nParamPhase=2.25\n", Phase, F(2.2)},
        LoadCase{"PanPotBeyond", "[Parameters]\nParamPanPot=-30\n", PanPot, -20.0},
        LoadCase{"PanPotFine", "[Parameters]\nParamPanPot=1.234\n", PanPot, F(1.234)},
        LoadCase{"VolumeAbove", "[Listening]\nVolume=95\n", Volume, 90.0},
        LoadCase{"VolumeStep", "[Listening]\nVolume=33.33\n", Volume, F(33.3)},
        LoadCase{"VolumeEmpty", "[Listening]\nVolume=\n", Volume, 20.0},
        LoadCase{"KeyHalf", "[Parameters]\nKeyChange=2.5\n", Key, 2.0},
        LoadCase{"KeyBeyond", "[Parameters]\nKeyChange=9\n", Key, 7.0},
        LoadCase{"BandBelow", "[Parameters]\nFreqRangeA=5\n", Band1, 1.0},
        LoadCase{"BandZero", "[Parameters]\nFreqRangeA=0\n", Band1, 1.0},
        LoadCase{"BandAbove", "[Parameters]\nFreqRangeB=30000\n", Band2, 4.380211353302002},
        LoadCase{"Band1Max", "[Parameters]\nFreqRangeA=24000\n", Band1, 4.380210876464844}),
    [](const testing::TestParamInfo<LoadCase>& param) { return std::string(param.param.name); });

TEST(SettingsLoadNoNumber, NegativeArgumentsLeaveTheirControls) {
    TSettings s;
    s.FFTPoint = -5;
    s.Tempo = -150;
    s.FreqRangeA = -200;
    TSettingsControls current;
    current.PopboxFFT = 2;
    current.TrackTempo = 0.1;
    current.Freqbar1 = 3.0;
    const TSettingsControls c = ControlsFromSettings(s, current);
    EXPECT_EQ(c.PopboxFFT, 2);
    EXPECT_EQ(c.TrackTempo, 0.1);
    EXPECT_EQ(c.Freqbar1, 3.0);
}

struct PathCase {
    const char* name;
    const char* executable;
    const char* expected;
};

class SettingsPath : public testing::TestWithParam<PathCase> {};

TEST_P(SettingsPath, BesideTheProgramNamedAfterIt) {
    EXPECT_EQ(SettingsFilePath(GetParam().executable), fs::path(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Programs, SettingsPath,
    testing::Values(PathCase{"NoExtension", "/opt/x/corvanel", "/opt/x/corvanel.ini"},
                    PathCase{"ExeExtension", "/opt/x/corvanel.exe", "/opt/x/corvanel.ini"},
                    PathCase{"PointInTheFolder", "/opt/x.y/corvanel", "/opt/x.y/corvanel.ini"}),
    corvanel::test::ByNameField);

} // namespace
