// Start-up, the settings file through close and reopen, and each control driving its parameter.
#include "tests/app_window/LifecycleFixture.h"

#include "app/widgets/FloatTrackBar.h"
#include "controls/IniFile.h"
#include "app/widgets/ToggleSwitch.h"

#include "audio/include/bass.h"
#include "dsp/ReduceParams.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

using namespace corvanel;

namespace {

// Every parameter away from its start-up value, as an earlier window could have left it.
void DisturbParameters() {
    VREnable = true;
    VRInverse = true;
    VRAParam = 1.0;
    VRPParam = 2.0;
    VRPanPot = 3.0;
    VRFFTPoint = 8192;
    VRKeyChange = 4.0;
    VRTempo = 50.0;
    VRBand1 = 1000.0;
    VRBand2 = 2000.0;
}

TEST_F(LifecycleTest, FirstRunStartsWithTheDesignValuesAndCloseWritesBothSections) {
    DisturbParameters();
    Open();

    EXPECT_FALSE(VREnable);
    EXPECT_FALSE(VRInverse);
    EXPECT_EQ(VRAParam, 70.0);
    EXPECT_EQ(VRPParam, 15.0);
    EXPECT_EQ(VRPanPot, 0.0);
    EXPECT_EQ(VRFFTPoint, 16384);
    EXPECT_EQ(VRKeyChange, 0.0);
    EXPECT_EQ(VRTempo, 0.0);
    EXPECT_EQ(VRBand1, kStartBand1);
    EXPECT_EQ(VRBand2, kStartBand2);
    EXPECT_EQ(form->Freqbar1->Value(), std::log10(200.0f));
    EXPECT_EQ(form->Freqbar2->Value(), std::log10(16500.0f));
    EXPECT_EQ(form->Label13->text(), QStringLiteral("200 Hz"));
    EXPECT_EQ(form->Label14->text(), QStringLiteral("16500 Hz"));
    EXPECT_EQ(form->VolumeBar->Value(), 20.0f);
    EXPECT_EQ(form->PopboxFFT->currentIndex(), 1);
    EXPECT_EQ(form->VersionLabel->text(), QStringLiteral("Ver. 1.03"));
    EXPECT_EQ(
        form->OpenDialog1Filter,
        QStringLiteral("All Supported|*.wav;*.mp3;*.wma;*.aac;*.mp4;*.m4a;*.ogg;*.flac;*.opus|"
                       "Wave (*.wav)|*.wav|MP3 (*.mp3)|*.mp3|Windows Media Audio "
                       "(*.wma)|*.wma|Advanced Audio Coding "
                       "(*.aac;*.mp4;*.m4a)|*.aac;*.mp4;*.m4a|Ogg Vorbis (*.ogg)|*.ogg|"
                       "FLAC (*.flac)|*.flac|Opus (*.opus)|*.opus"));
    EXPECT_EQ(form->dwStream(), 0u);
    EXPECT_EQ(form->dwFxStream(), 0u);
    EXPECT_EQ(form->dwOutStream(), 0u);
    EXPECT_EQ(form->dwEncoder(), 0u);
    // Nothing is appended to the windows' own titles.
    EXPECT_NE(QApplication::applicationDisplayName(), QStringLiteral("Corvanel (64bit)"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Corvanel"));
    // The audio library is up: a stream can be made.
    const HSTREAM probe = BASS_StreamCreate(44100, 2, 0, STREAMPROC_PUSH, nullptr);
    EXPECT_NE(probe, 0u) << BASS_ErrorGetCode();
    BASS_StreamFree(probe);

    ASSERT_FALSE(std::filesystem::exists(settings));
    Close();
    EXPECT_EQ(SettingsText(), "[Listening]\n"
                              "Volume=20\n"
                              "\n"
                              "[Parameters]\n"
                              "Enable=0\n"
                              "Inverse=0\n"
                              "ParamAmplitude=70\n"
                              "ParamPhase=15\n"
                              "ParamPanPot=0\n"
                              "FFTPoint=16384\n"
                              "KeyChange=0\n"
                              "Tempo=0\n"
                              "FreqRangeA=199.999969482422\n"
                              "FreqRangeB=16500.001953125\n"
                              "\n");
    // Shut down: the library is freed.
    EXPECT_FALSE(BASS_Start());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

struct LoadCase {
    const char* name;
    std::string file;
    std::function<void(TForm1&)> check;
    // Section, key and value expected in the file after the next close.
    std::vector<std::pair<const char*, const char*>> saved;
};

class LoadCases : public LifecycleTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadCases, ValuesPassThroughTheirControlsAndAreSavedAsParameters) {
    const LoadCase& c = GetParam();
    DisturbParameters();
    WriteSettings(c.file);
    Open();
    c.check(*form);
    Close();

    TIniFile saved;
    ASSERT_EQ(saved.LoadFromFile(settings), TIniFile::TLoadResult::Loaded);
    for (const auto& [key, value] : c.saved) {
        const char* section = std::string_view(key) == "Volume" ? "Listening" : "Parameters";
        EXPECT_EQ(saved.ReadString(section, key).value_or("(missing)"), value) << key;
    }
    EXPECT_TRUE(errors.isEmpty());
}

const LoadCase LoadTable[] = {
    {"volume_only_gives_the_files_defaults_elsewhere",
     "[Listening]\nVolume=45\n",
     [](TForm1& f) {
         EXPECT_EQ(f.VolumeBar->Value(), 45.0f);
         EXPECT_EQ(f.TrackAParam->Value(), 60.0f);
         EXPECT_EQ(VRAParam, 60.0);
         EXPECT_EQ(f.TrackPParam->Value(), 30.0f);
         EXPECT_EQ(VRPParam, 30.0);
         EXPECT_EQ(VRFFTPoint, 16384);
         EXPECT_FALSE(VREnable);
         EXPECT_EQ(f.Label13->text(), QStringLiteral("200 Hz"));
         EXPECT_EQ(f.Label14->text(), QStringLiteral("16500 Hz"));
     },
     {{"Volume", "45"}, {"ParamAmplitude", "60"}, {"ParamPhase", "30"}}},
    {"tempo_inside_the_dead_zone",
     "[Parameters]\nTempo=3\n",
     [](TForm1& f) {
         EXPECT_EQ(f.TrackTempo->Value(), static_cast<float>(std::log10(1.03)));
         EXPECT_EQ(VRTempo, 0.0);
     },
     {{"Tempo", "0"}}},
    {"tempo_outside_the_dead_zone",
     "[Parameters]\nTempo=-20\n",
     [](TForm1& f) {
         EXPECT_EQ(f.TrackTempo->Value(), static_cast<float>(std::log10(0.8)));
         EXPECT_NEAR(VRTempo, -20.0, 1e-4);
     },
     {}},
    {"frame_size_32768",
     "[Parameters]\nFFTPoint=32768\n",
     [](TForm1& f) {
         EXPECT_EQ(f.PopboxFFT->currentIndex(), 2);
         EXPECT_EQ(VRFFTPoint, 32768);
     },
     {{"FFTPoint", "32768"}}},
    {"frame_size_20000_rounds_to_the_middle_item",
     "[Parameters]\nFFTPoint=20000\n",
     [](TForm1& f) {
         EXPECT_EQ(f.PopboxFFT->currentIndex(), 1);
         EXPECT_EQ(VRFFTPoint, 16384);
     },
     {{"FFTPoint", "16384"}}},
    {"frame_size_in_hexadecimal",
     "[Parameters]\nFFTPoint=0x2000\n",
     [](TForm1& f) {
         EXPECT_EQ(f.PopboxFFT->currentIndex(), 0);
         EXPECT_EQ(VRFFTPoint, 8192);
     },
     {{"FFTPoint", "8192"}}},
    {"frame_size_below_every_item_takes_the_smallest",
     "[Parameters]\nFFTPoint=1024\n",
     [](TForm1& f) {
         EXPECT_EQ(f.PopboxFFT->currentIndex(), 0);
         EXPECT_EQ(VRFFTPoint, 8192);
     },
     {{"FFTPoint", "8192"}}},
    {"enable_yes_is_no_number",
     "[Parameters]\nEnable=yes\nInverse=yes\n",
     [](TForm1& f) {
         EXPECT_FALSE(f.Switch1->IsChecked());
         EXPECT_FALSE(VREnable);
         EXPECT_FALSE(VRInverse);
     },
     {{"Enable", "0"}, {"Inverse", "0"}}},
    {"enable_2_is_true",
     "[Parameters]\nEnable=2\nInverse=-1\n",
     [](TForm1& f) {
         EXPECT_TRUE(f.Switch1->IsChecked());
         EXPECT_TRUE(f.Switch2->IsChecked());
         EXPECT_TRUE(VREnable);
         EXPECT_TRUE(VRInverse);
     },
     {{"Enable", "1"}, {"Inverse", "1"}}},
    {"amplitude_held_to_the_bars_maximum",
     "[Parameters]\nParamAmplitude=100\nParamPhase=0\nParamPanPot=-99\n",
     [](TForm1& f) {
         EXPECT_EQ(f.TrackAParam->Value(), 70.0f);
         EXPECT_EQ(VRAParam, 70.0);
         EXPECT_EQ(VRPParam, 1.0);
         EXPECT_EQ(VRPanPot, -20.0);
     },
     {{"ParamAmplitude", "70"}, {"ParamPhase", "1"}, {"ParamPanPot", "-20"}}},
    {"key_halves_round_to_even",
     "[Parameters]\nKeyChange=2.5\n",
     [](TForm1& f) {
         EXPECT_EQ(f.SpinKeyChange->value(), 2.0);
         EXPECT_EQ(VRKeyChange, 2.0);
     },
     {{"KeyChange", "2"}}},
    {"negative_key_half_rounds_to_even",
     "[Parameters]\nKeyChange=-3.5\n",
     [](TForm1&) { EXPECT_EQ(VRKeyChange, -4.0); },
     {{"KeyChange", "-4"}}},
    {"band_edges_in_either_order",
     "[Parameters]\nFreqRangeA=5000\nFreqRangeB=300\n",
     [](TForm1& f) {
         EXPECT_EQ(f.Label13->text(), QStringLiteral("5000 Hz"));
         EXPECT_EQ(f.Label14->text(), QStringLiteral("300 Hz"));
         EXPECT_NEAR(VRBand1, 5000.0, 0.01);
         EXPECT_NEAR(VRBand2, 300.0, 0.001);
     },
     {}},
    {"names_match_without_case",
     "[parameters]\nparamphase=20\nfftpoint=8192\n",
     [](TForm1& f) {
         EXPECT_EQ(VRPParam, 20.0);
         EXPECT_EQ(f.PopboxFFT->currentIndex(), 0);
     },
     {{"ParamPhase", "20"}, {"FFTPoint", "8192"}}},
    {"unreadable_numbers_give_the_defaults",
     "[Listening]\nVolume=loud\n[Parameters]\nParamAmplitude=\nFreqRangeA=abc\n",
     [](TForm1& f) {
         EXPECT_EQ(f.VolumeBar->Value(), 20.0f);
         EXPECT_EQ(VRAParam, 60.0);
         EXPECT_EQ(f.Label13->text(), QStringLiteral("200 Hz"));
     },
     {{"Volume", "20"}, {"ParamAmplitude", "60"}}},
};

INSTANTIATE_TEST_SUITE_P(Cases, LoadCases, ::testing::ValuesIn(LoadTable),
                         [](const ::testing::TestParamInfo<LoadCase>& p) {
                             return std::string(p.param.name);
                         });

// What a user can set, read back from both the controls and the parameters.
struct Snapshot {
    float volume, aParam, pParam, panPot, tempoBar, band1Bar, band2Bar;
    bool on, inverse;
    int fftItem;
    double key;
    double vrA, vrP, vrPan, vrKey, vrTempo, vrBand1, vrBand2;
    bool vrOn, vrInverse;
    int vrFFT;

    static Snapshot Of(const TForm1& f) {
        return {f.VolumeBar->Value(),
                f.TrackAParam->Value(),
                f.TrackPParam->Value(),
                f.TrackPanPot->Value(),
                f.TrackTempo->Value(),
                f.Freqbar1->Value(),
                f.Freqbar2->Value(),
                f.Switch1->IsChecked(),
                f.Switch2->IsChecked(),
                f.PopboxFFT->currentIndex(),
                f.SpinKeyChange->value(),
                VRAParam,
                VRPParam,
                VRPanPot,
                VRKeyChange,
                VRTempo,
                VRBand1,
                VRBand2,
                VREnable,
                VRInverse,
                VRFFTPoint};
    }
};

void ExpectSame(const Snapshot& a, const Snapshot& b) {
    EXPECT_EQ(a.volume, b.volume);
    EXPECT_EQ(a.aParam, b.aParam);
    EXPECT_EQ(a.pParam, b.pParam);
    EXPECT_EQ(a.panPot, b.panPot);
    EXPECT_EQ(a.tempoBar, b.tempoBar);
    EXPECT_EQ(a.band1Bar, b.band1Bar);
    EXPECT_EQ(a.band2Bar, b.band2Bar);
    EXPECT_EQ(a.on, b.on);
    EXPECT_EQ(a.inverse, b.inverse);
    EXPECT_EQ(a.fftItem, b.fftItem);
    EXPECT_EQ(a.key, b.key);
    EXPECT_EQ(a.vrA, b.vrA);
    EXPECT_EQ(a.vrP, b.vrP);
    EXPECT_EQ(a.vrPan, b.vrPan);
    EXPECT_EQ(a.vrKey, b.vrKey);
    EXPECT_EQ(a.vrTempo, b.vrTempo);
    EXPECT_EQ(a.vrBand1, b.vrBand1);
    EXPECT_EQ(a.vrBand2, b.vrBand2);
    EXPECT_EQ(a.vrOn, b.vrOn);
    EXPECT_EQ(a.vrInverse, b.vrInverse);
    EXPECT_EQ(a.vrFFT, b.vrFFT);
}

TEST_F(LifecycleTest, EveryValueSurvivesCloseAndReopenUnchanged) {
    Open();
    form->VolumeBar->SetValue(55.5f);
    form->Switch1->SetChecked(true);
    form->Switch2->SetChecked(true);
    form->TrackAParam->SetValue(33.25f);
    form->TrackPParam->SetValue(42.3f);
    form->TrackPanPot->SetValue(-7.75f);
    form->PopboxFFT->setCurrentIndex(0);
    form->SpinKeyChange->setValue(-5.0);
    form->TrackTempo->SetValue(0.2f);
    form->Freqbar1->SetValue(3.9f); // above the other edge: allowed
    form->Freqbar2->SetValue(2.1f);
    const Snapshot before = Snapshot::Of(*form);
    ASSERT_TRUE(before.on && before.inverse);
    ASSERT_EQ(before.vrFFT, 8192);

    // Twice: a value that drifted on each save would show by the second reopen.
    Reopen();
    ExpectSame(Snapshot::Of(*form), before);
    Reopen();
    ExpectSame(Snapshot::Of(*form), before);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(LifecycleTest, OtherSectionsAndKeysSurviveTheRewrite) {
    WriteSettings("; the user's note\n"
                  "stray=1\n"
                  "[Other]\n"
                  "  Foo = bar  \n"
                  "[Listening]\n"
                  "Volume=30\n"
                  "Balance=5\n"
                  "\n"
                  "[Tail]\n"
                  "x=y\n");
    Open();
    EXPECT_EQ(form->VolumeBar->Value(), 30.0f);
    form->VolumeBar->SetValue(31.0f);
    Close();

    TIniFile saved;
    ASSERT_EQ(saved.LoadFromFile(settings), TIniFile::TLoadResult::Loaded);
    EXPECT_EQ(saved.SectionNames(),
              (std::vector<std::string>{"Other", "Listening", "Tail", "Parameters"}));
    EXPECT_EQ(saved.ReadString("Other", "Foo"), "bar");
    EXPECT_EQ(saved.ReadString("Listening", "Balance"), "5");
    EXPECT_EQ(saved.ReadString("Listening", "Volume"), "31");
    EXPECT_EQ(saved.ReadString("Tail", "x"), "y");
    EXPECT_EQ(saved.ReadString("Parameters", "FFTPoint"), "16384");
    const std::string text = SettingsText();
    EXPECT_EQ(text.find("note"), std::string::npos);
    EXPECT_EQ(text.find("stray"), std::string::npos);
}

TEST_F(LifecycleTest, AnUnwritableSettingsFileStillLetsTheProgramShutDownQuietly) {
    const std::filesystem::path notAFolder = Folder() / "file.txt";
    std::ofstream(notAFolder) << "x";
    UseSettingsFile(notAFolder / "corvanel.ini");
    Open();
    form->close();
    EXPECT_TRUE(prompts->shown.isEmpty());
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_FALSE(std::filesystem::exists(settings));
    // The rest of the shutdown ran: the audio library is freed.
    EXPECT_FALSE(BASS_Start());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
}

TEST_F(LifecycleTest, ASecondCloseRequestDoesNotShutDownTwice) {
    Open();
    form->VolumeBar->SetValue(40.0f);
    form->close();
    std::filesystem::remove(settings);
    form->close();
    EXPECT_FALSE(std::filesystem::exists(settings));
}

// Each control, moved the way a user or a command moves it, drives its own parameter.
struct Drive {
    const char* name;
    std::function<void(TForm1&)> move;
    std::function<void(TForm1&)> check;
};

class DriveCases : public LifecycleTest, public ::testing::WithParamInterface<Drive> {};

TEST_P(DriveCases, TheControlsChangeHandlerSetsItsParameter) {
    Open();
    GetParam().move(*form);
    GetParam().check(*form);
}

const Drive DriveTable[] = {
    {"switch1_on", [](TForm1& f) { f.Switch1->SetChecked(true); },
     [](TForm1&) { EXPECT_TRUE(VREnable); }},
    {"switch2_on", [](TForm1& f) { f.Switch2->SetChecked(true); },
     [](TForm1&) {
         EXPECT_TRUE(VRInverse);
         EXPECT_FALSE(VREnable);
     }},
    {"amplitude_zero", [](TForm1& f) { f.TrackAParam->SetValue(0.0f); },
     [](TForm1&) { EXPECT_EQ(VRAParam, 0.0); }},
    {"phase_on_its_step", [](TForm1& f) { f.TrackPParam->SetValue(22.54f); },
     [](TForm1& f) {
         EXPECT_EQ(VRPParam, static_cast<double>(f.TrackPParam->Value()));
         EXPECT_NEAR(VRPParam, 22.5, 1e-5);
     }},
    {"pan_left_end", [](TForm1& f) { f.TrackPanPot->SetValue(-20.0f); },
     [](TForm1&) { EXPECT_EQ(VRPanPot, -20.0); }},
    {"frame_size_small", [](TForm1& f) { f.PopboxFFT->setCurrentIndex(0); },
     [](TForm1&) { EXPECT_EQ(VRFFTPoint, 8192); }},
    {"frame_size_large", [](TForm1& f) { f.PopboxFFT->setCurrentIndex(2); },
     [](TForm1&) { EXPECT_EQ(VRFFTPoint, 32768); }},
    {"key_up_three", [](TForm1& f) { f.SpinKeyChange->setValue(3.0); },
     [](TForm1&) { EXPECT_EQ(VRKeyChange, 3.0); }},
    {"tempo_4_percent_is_normal_speed",
     [](TForm1& f) { f.TrackTempo->SetValue(static_cast<float>(std::log10(1.04))); },
     [](TForm1&) { EXPECT_EQ(VRTempo, 0.0); }},
    {"tempo_6_percent",
     [](TForm1& f) { f.TrackTempo->SetValue(static_cast<float>(std::log10(1.06))); },
     [](TForm1&) { EXPECT_NEAR(VRTempo, 6.0, 1e-4); }},
    {"band_at_the_bottom", [](TForm1& f) { f.Freqbar1->SetValue(1.0f); },
     [](TForm1& f) {
         EXPECT_EQ(VRBand1, 10.0);
         EXPECT_EQ(f.Label13->text(), QStringLiteral("10 Hz"));
     }},
    {"band_at_the_top", [](TForm1& f) { f.Freqbar1->SetValue(f.Freqbar1->Max()); },
     [](TForm1& f) {
         EXPECT_NEAR(VRBand1, 23999.98, 0.01);
         EXPECT_EQ(f.Label13->text(), QStringLiteral("24000 Hz"));
     }},
    {"band_label_in_tens", [](TForm1& f) { f.Freqbar2->SetValue(2.5f); },
     [](TForm1& f) {
         EXPECT_NEAR(VRBand2, 316.23, 0.01);
         EXPECT_EQ(f.Label14->text(), QStringLiteral("320 Hz"));
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, DriveCases, ::testing::ValuesIn(DriveTable),
                         [](const ::testing::TestParamInfo<Drive>& p) {
                             return std::string(p.param.name);
                         });

} // namespace
