// Start-up, shutdown and the settings file.
#include "app/window/TForm1.h"
#include "base/Version.h"

#include "app/widgets/FloatTrackBar.h"
#include "app/widgets/ToggleSwitch.h"
#include "controls/ControlTable.h"
#include "controls/Settings.h"
#include "controls/SettingsLocation.h"

#include "audio/include/bass.h"
#include "dsp/ReduceParams.h"
#include "dsp/ReduceProc.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QLabel>
#include <QTimer>

#include <cstdio>

using namespace corvanel;

namespace {

constexpr const char* kOpenFilter =
    "All Supported|*.wav;*.mp3;*.wma;*.aac;*.mp4;*.m4a;*.ogg;*.flac;*.opus|Wave (*.wav)|*.wav|MP3 "
    "(*.mp3)|*.mp3|Windows Media Audio (*.wma)|*.wma|Advanced Audio Coding "
    "(*.aac;*.mp4;*.m4a)|*.aac;*.mp4;*.m4a|Ogg Vorbis (*.ogg)|*.ogg|FLAC (*.flac)|*.flac|Opus "
    "(*.opus)|*.opus";

} // namespace

std::filesystem::path TForm1::SettingsPath() {
    const QString overridden = qEnvironmentVariable("CORVANEL_SETTINGS");
    if (!overridden.isEmpty())
        return std::filesystem::path(overridden.toStdU16String());
    return ChooseSettingsFile(ProbeSettingsPlaces(
        std::filesystem::path(QCoreApplication::applicationFilePath().toStdU16String())));
}

void TForm1::FormCreate(QObject*) {
    // The default output at 44100 Hz (the layer falls back to silent playback on a machine
    // without sound), the add-on parts, and an 1100 ms playback buffer.
    BASS_Init(-1, 44100, 0, nullptr, nullptr);
    BASS_FX_GetVersion();
    BASS_Mixer_GetVersion();
    BASS_Encode_GetVersion();
    TAGS_GetVersion();
    BASS_SetConfig(BASS_CONFIG_BUFFER, 1100);
    BASS_Start();

    // The output tap, and the chain that owns the handles and the tag list and wires the
    // processor's queues and sinks to them.
    FViewStream = std::make_unique<OutputTap>();
    FChain = std::make_unique<StreamChain>(TheReduceProcessor(), *FViewStream);

    VREnable.store(false);
    VRPanPot.store(0.0);
    VRKeyChange.store(0.0);
    VRTempo.store(0.0);
    VRInverse.store(false);

    // Moving the bars raises their change handlers, which set the band edges and labels.
    Freqbar1->SetValue(static_cast<float>(ControlRowOf(ControlId::Freqbar1).Start));
    Freqbar2->SetValue(static_cast<float>(ControlRowOf(ControlId::Freqbar2).Start));

    // The thresholds and the frame length follow their controls' design values.
    TrackAParamChange(nullptr);
    TrackPParamChange(nullptr);
    PopboxFFTChange(nullptr);

    OpenDialog1Filter = QString::fromUtf8(kOpenFilter);
    VersionLabel->setText(QStringLiteral("Ver. ") + QLatin1String(kProgramVersion));

    LoadSettings();
}

void TForm1::LoadSettings() {
    const std::optional<TSettings> settings = LoadSettingsFile(SettingsPath());
    if (!settings)
        return;

    TSettingsControls current;
    current.VolumeBar = VolumeBar->Value();
    current.Switch1 = Switch1->IsChecked();
    current.Switch2 = Switch2->IsChecked();
    current.TrackAParam = TrackAParam->Value();
    current.TrackPParam = TrackPParam->Value();
    current.TrackPanPot = TrackPanPot->Value();
    current.PopboxFFT = PopboxFFT->currentIndex();
    current.SpinKeyChange = SpinKeyChange->value();
    current.TrackTempo = TrackTempo->Value();
    current.Freqbar1 = Freqbar1->Value();
    current.Freqbar2 = Freqbar2->Value();

    // Limited by each control's range and step already, halves to even; the spin box would
    // round a half away from zero itself.
    const TSettingsControls c = ControlsFromSettings(*settings, current);
    VolumeBar->SetValue(static_cast<float>(c.VolumeBar));
    Switch1->SetChecked(c.Switch1);
    Switch2->SetChecked(c.Switch2);
    TrackAParam->SetValue(static_cast<float>(c.TrackAParam));
    TrackPParam->SetValue(static_cast<float>(c.TrackPParam));
    TrackPanPot->SetValue(static_cast<float>(c.TrackPanPot));
    PopboxFFT->setCurrentIndex(c.PopboxFFT);
    SpinKeyChange->setValue(c.SpinKeyChange);
    TrackTempo->SetValue(static_cast<float>(c.TrackTempo));
    Freqbar1->SetValue(static_cast<float>(c.Freqbar1));
    Freqbar2->SetValue(static_cast<float>(c.Freqbar2));

    // Whatever change events fired above, every parameter now follows its control. The
    // volume reaches the audio when playback starts.
    Switch1Switch(nullptr);
    Switch2Switch(nullptr);
    TrackAParamChange(nullptr);
    TrackPParamChange(nullptr);
    TrackPanPotChange(nullptr);
    PopboxFFTChange(nullptr);
    SpinKeyChangeChange(nullptr);
    TrackTempoChange(nullptr);
    Freqbar1Change(nullptr);
    Freqbar2Change(nullptr);
}

void TForm1::SaveSettings() {
    // The parameters, not the controls: a tempo inside the dead zone is saved as 0.
    TSettings s;
    s.Volume = VolumeBar->Value();
    s.Enable = VREnable.load();
    s.Inverse = VRInverse.load();
    s.ParamAmplitude = VRAParam.load();
    s.ParamPhase = VRPParam.load();
    s.ParamPanPot = VRPanPot.load();
    s.FFTPoint = VRFFTPoint.load();
    s.KeyChange = VRKeyChange.load();
    s.Tempo = VRTempo.load();
    s.FreqRangeA = VRBand1.load();
    s.FreqRangeB = VRBand2.load();
    // A settings file that cannot be written is reported; shutdown goes on.
    const std::filesystem::path path = SettingsPath();
    std::string reason;
    if (!PrepareSettingsFolder(path, reason) || !SaveSettingsFile(path, s, &reason))
        std::fprintf(stderr, "corvanel: cannot write the settings file %s: %s\n", path.c_str(),
                     reason.c_str());
}

void TForm1::FormClose(QObject*) {
    SaveSettings();
    ShutDownAudio();
}

void TForm1::ShutDownAudio() {
    if (!FChain)
        return;
    // Once the library is freed no DSP routine runs any more; only then may the objects
    // they write to go.
    BASS_Stop();
    BASS_Free();
    // The timers would read the released chain.
    Timer1->stop();
    Timer2->stop();
    Timer3->stop();
    FChain.reset();
    FViewStream.reset();
}
