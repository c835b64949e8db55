// The window's play, pause, seek and file choice against real files and the real audio layer
// (SDL's dummy driver; the disk driver where what is heard is compared).
#include "tests/app_window/LifecycleFixture.h"

#include "tests/audio_streams/AudioFixtures.h"
#include "app/widgets/FloatTrackBar.h"
#include "app/widgets/PictureButton.h"
#include "app/widgets/ToggleSwitch.h"

#include "audio/include/bass.h"
#include "dsp/ReduceParams.h"

#include <QDoubleSpinBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <thread>

using namespace corvanel;
using namespace corvanel::audio::test;
using namespace std::chrono_literals;

namespace {

// Runs the event loop until cond holds or a generous limit passes; the caller asserts on it.
bool WaitFor(const std::function<bool()>& cond, std::chrono::milliseconds limit = 30s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Left: a 440 Hz tone in the centre plus a 1000 Hz tone on the left only; right: the centre
// tone. Reduction leaves the left-only tone and takes the centre away.
QString CentreAndLeftWav(const std::string& name, double seconds) {
    constexpr std::uint32_t rate = 44100;
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<std::int16_t> samples(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double centre = 0.3 * std::sin(2 * std::numbers::pi * 440.0 * t);
        const double left = 0.3 * std::sin(2 * std::numbers::pi * 1000.0 * t);
        samples[2 * i] = static_cast<std::int16_t>(std::lrint((centre + left) * 32767));
        samples[2 * i + 1] = static_cast<std::int16_t>(std::lrint(centre * 32767));
    }
    return QString::fromStdString(writeWav(name, samples, 2, rate).string());
}

DWORD State(DWORD handle) {
    return BASS_ChannelIsActive(handle);
}

float Attribute(DWORD handle, DWORD attrib) {
    float value = -12345.0f;
    BASS_ChannelGetAttribute(handle, attrib, &value);
    return value;
}

class PlaybackTest : public LifecycleTest {
  protected:
    void SetUp() override {
        LifecycleTest::SetUp();
        previousDriver = qgetenv("SDL_AUDIODRIVER");
    }
    void TearDown() override {
        LifecycleTest::TearDown();
        qputenv("SDL_AUDIODRIVER", previousDriver);
    }

    // Playback as the user starts it: a path in the box, then the play button.
    void Play(const QString& path) {
        form->Edit1->setText(path);
        form->ProcessingButton->click();
    }

    QByteArray previousDriver;
};

// After the play button the tempo stream plays; once the file has ended it is stopped, and
// what the device played is the reduced audio.
struct Heard {
    const char* name;
    bool reduction;
    double minRightOverLeft, maxRightOverLeft;
};

class HeardCases : public PlaybackTest, public ::testing::WithParamInterface<Heard> {};

TEST_P(HeardCases, PlayingAFileSoundsTheProcessorsOutputAndStopsAtItsEnd) {
    const Heard& c = GetParam();
    const auto capture = Folder() / "heard.raw";
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QByteArray::fromStdString(capture.string()));
    Open();
    form->VolumeBar->SetValue(0.0f);
    form->Switch1->SetChecked(c.reduction);

    Play(CentreAndLeftWav(std::string("heard_") + c.name + ".wav", 1.5));
    ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    ASSERT_NE(form->dwFxStream(), 0u);
    EXPECT_EQ(State(form->dwFxStream()), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    EXPECT_NE(State(form->dwOutStream()), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(form->ChInfo().chans, 2u);
    EXPECT_EQ(form->ChInfo().freq, 44100u);

    ASSERT_TRUE(WaitFor([&] { return State(form->dwFxStream()) == BASS_ACTIVE_STOPPED; }));
    // The push stream has played out what it was given and waits for more.
    ASSERT_TRUE(WaitFor([&] { return State(form->dwOutStream()) == BASS_ACTIVE_STALLED; }));
    Close(); // frees the library, which closes the capture file

    std::ifstream in(capture, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::int16_t> heard(bytes.size() / 2);
    std::memcpy(heard.data(), bytes.data(), heard.size() * 2);
    ASSERT_GT(heard.size(), 44100u * 2);
    const double left = rms(heard, 2, 0), right = rms(heard, 2, 1);
    EXPECT_GT(left, 2000.0); // the left-only tone is heard either way
    EXPECT_GT(right / left, c.minRightOverLeft) << "left " << left << " right " << right;
    EXPECT_LT(right / left, c.maxRightOverLeft) << "left " << left << " right " << right;
}

INSTANTIATE_TEST_SUITE_P(Cases, HeardCases,
                         ::testing::Values(Heard{"reduced", true, 0.0, 0.1},
                                           Heard{"passed_through", false, 0.4, 1.0}),
                         [](const ::testing::TestParamInfo<Heard>& p) {
                             return std::string(p.param.name);
                         });

struct Failure {
    const char* name;
    std::function<QString()> path;
    const char* message;
};

class FailureCases : public PlaybackTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(FailureCases, AnUnusableSourceIsShownByTheErrorDisplayAndTheProgramGoesOn) {
    Open();
    Play(GetParam().path());
    EXPECT_EQ(errors, QStringList{QString::fromUtf8(GetParam().message)});
    EXPECT_TRUE(prompts->shown.isEmpty());
    EXPECT_EQ(form->dwFxStream(), 0u);

    // Still up: the next file plays.
    errors.clear();
    Play(CentreAndLeftWav("after_failure.wav", 0.5));
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(State(form->dwFxStream()), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailureCases,
    ::testing::Values(Failure{"empty_path", [] { return QString(); },
                              "対応していないファイル形式です"},
                      Failure{"mono_file",
                              [] {
                                  return QString::fromStdString(
                                      writeWav("mono.wav", Noise(4410, 1), 1, 44100).string());
                              },
                              "モノラルや5.1ch音源には対応していません.(Ch=1)"}),
    [](const ::testing::TestParamInfo<Failure>& p) { return std::string(p.param.name); });

// Choosing another file only stops the tempo stream; nothing is opened until play.
struct Choice {
    const char* name;
    const char* target; // a drop target, or empty for the open button
    bool confirmed;
};

class ChoiceCases : public PlaybackTest, public ::testing::WithParamInterface<Choice> {};

TEST_P(ChoiceCases, ANewFileStopsTheTempoStreamOnly) {
    const Choice& c = GetParam();
    Open();
    const QString playing = CentreAndLeftWav("playing.wav", 3.0);
    const QString next = QStringLiteral("/music/next.mp3");
    Play(playing);
    ASSERT_EQ(State(form->dwFxStream()), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    const HSTREAM stream = form->dwStream(), fx = form->dwFxStream(), out = form->dwOutStream();

    if (std::string(c.target).empty()) {
        prompts->openPath = c.confirmed ? next : QString();
        form->Button1->click();
    } else {
        QWidget* target = form->findChild<QWidget*>(QString::fromLatin1(c.target));
        ASSERT_NE(target, nullptr);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(next), QUrl::fromLocalFile("/music/other.wav")});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_EQ(form->sDropPath(), next);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_TRUE(drop.isAccepted());
    }

    EXPECT_EQ(form->Edit1->text(), c.confirmed ? next : playing);
    EXPECT_EQ(State(fx),
              static_cast<DWORD>(c.confirmed ? BASS_ACTIVE_STOPPED : BASS_ACTIVE_PLAYING));
    EXPECT_NE(State(out), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    // The old chain stays allocated.
    EXPECT_EQ(form->dwStream(), stream);
    EXPECT_EQ(form->dwFxStream(), fx);
    EXPECT_EQ(form->dwOutStream(), out);
    EXPECT_TRUE(errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, ChoiceCases,
                         ::testing::Values(Choice{"drop_on_path_box", "Edit1", true},
                                           Choice{"drop_on_banner", "Image6", true},
                                           Choice{"open_button", "", true},
                                           Choice{"open_button_cancelled", "", false}),
                         [](const ::testing::TestParamInfo<Choice>& p) {
                             return std::string(p.param.name);
                         });

TEST_F(PlaybackTest, TheControlsActOnThePlayingChain) {
    Open();
    form->SpinKeyChange->setValue(2.0);
    form->TrackTempo->SetValue(static_cast<float>(std::log10(1.2)));
    form->VolumeBar->SetValue(40.0f);
    Play(CentreAndLeftWav("controls.wav", 3.0));
    const HSTREAM fx = form->dwFxStream(), out = form->dwOutStream();
    // The build applied what the controls hold.
    EXPECT_EQ(Attribute(fx, BASS_ATTRIB_TEMPO_PITCH), 2.0f);
    EXPECT_NEAR(Attribute(fx, BASS_ATTRIB_TEMPO), 20.0f, 1e-3f);
    EXPECT_NEAR(Attribute(out, BASS_ATTRIB_VOL), 0.01f, 1e-7f);

    form->VolumeBar->SetValue(20.0f);
    EXPECT_NEAR(Attribute(out, BASS_ATTRIB_VOL), 0.1f, 1e-7f);

    // The reduction switch puts key and speed back to the source's own, the controls stay.
    form->Switch1->SetChecked(true);
    EXPECT_EQ(Attribute(fx, BASS_ATTRIB_TEMPO_PITCH), 0.0f);
    EXPECT_EQ(Attribute(fx, BASS_ATTRIB_TEMPO), 0.0f);
    EXPECT_EQ(form->SpinKeyChange->value(), 2.0);
    EXPECT_EQ(VRKeyChange, 2.0);
    form->SpinKeyChange->setValue(3.0);
    EXPECT_EQ(Attribute(fx, BASS_ATTRIB_TEMPO_PITCH), 3.0f);
    EXPECT_EQ(Attribute(fx, BASS_ATTRIB_TEMPO), 0.0f);

    // Pause, then play: the same chain resumes.
    form->Button4->click();
    EXPECT_EQ(State(fx), static_cast<DWORD>(BASS_ACTIVE_PAUSED));
    form->ProcessingButton->click();
    EXPECT_EQ(form->dwFxStream(), fx);
    EXPECT_EQ(State(fx), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
}

TEST_F(PlaybackTest, WithoutASenderTheChainIsBuiltForExportAndSeeksFollowTheTag) {
    Open();
    form->Edit1->setText(CentreAndLeftWav("export.wav", 2.0));
    form->ProcessingButtonClick(nullptr);
    ASSERT_NE(form->dwFxStream(), 0u);
    BASS_CHANNELINFO info{};
    ASSERT_TRUE(BASS_ChannelGetInfo(form->dwFxStream(), &info));
    EXPECT_NE(info.flags & BASS_STREAM_DECODE, 0u);

    const HSTREAM stream = form->dwStream();
    form->TrackPosition->SetRange(0.0f, 2.0f);
    form->TrackPosition->SetTag(1); // the position display is moving the bar
    form->TrackPosition->SetValue(0.5f);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 0u);
    form->TrackPosition->SetTag(0);
    form->TrackPosition->SetValue(1.25f);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE),
              BASS_ChannelSeconds2Bytes(stream, 1.25));
}

} // namespace

namespace {

// A sine on both channels (or the left only), amplitude 0.3.
QString ToneWav(const std::string& name, double hz, double seconds, bool leftOnly = false) {
    constexpr std::uint32_t rate = 44100;
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<std::int16_t> samples(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(
            std::lrint(0.3 * 32767 * std::sin(2 * std::numbers::pi * hz * double(i) / rate)));
        samples[2 * i] = v;
        samples[2 * i + 1] = leftOnly ? std::int16_t{0} : v;
    }
    return QString::fromStdString(writeWav(name, samples, 2, rate).string());
}

// The left channel from its first to its last clearly audible sample.
std::vector<std::int16_t> AudibleLeft(const std::vector<std::int16_t>& heard) {
    std::size_t first = heard.size() / 2, last = 0;
    for (std::size_t i = 0; i < heard.size() / 2; ++i) {
        if (std::abs(heard[2 * i]) > 1000) {
            first = std::min(first, i);
            last = i;
        }
    }
    if (first > last)
        return {};
    std::vector<std::int16_t> left;
    for (std::size_t i = first; i <= last; ++i)
        left.push_back(heard[2 * i]);
    return left;
}

class HeardPlayback : public PlaybackTest {
  protected:
    // Plays the file through SDL's disk driver to its end and returns what the device played.
    std::vector<std::int16_t> PlayToEnd(const QString& path) {
        const auto capture = useAudioDriver("disk");
        Open();
        form->VolumeBar->SetValue(0.0f);
        prepare();
        Play(path);
        EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
        EXPECT_TRUE(WaitFor([&] { return State(form->dwFxStream()) == BASS_ACTIVE_STOPPED; }));
        EXPECT_TRUE(WaitFor([&] { return State(form->dwOutStream()) == BASS_ACTIVE_STALLED; }));
        Close(); // frees the library, which closes the capture file
        return readCapture(capture);
    }
    std::function<void()> prepare = [] {};
};

} // namespace

// Key and tempo chosen before play hold from the first sound heard, as in an export.
struct SetBeforePlay {
    const char* name;
    double key;
    float tempoBar;
    double heardHz, heardSeconds; // of a 1.6 s tone at 440 Hz
};

class SetBeforePlayCases : public HeardPlayback,
                           public ::testing::WithParamInterface<SetBeforePlay> {};

TEST_P(SetBeforePlayCases, KeyAndTempoHoldFromTheFirstSoundHeard) {
    const SetBeforePlay& c = GetParam();
    prepare = [&] {
        form->Switch1->SetChecked(false);
        form->SpinKeyChange->setValue(c.key);
        form->TrackTempo->SetValue(c.tempoBar);
    };
    const std::vector<std::int16_t> left =
        AudibleLeft(PlayToEnd(ToneWav(std::string("before_") + c.name + ".wav", 440.0, 1.6)));
    ASSERT_FALSE(left.empty());

    EXPECT_NEAR(double(left.size()) / 44100, c.heardSeconds, 0.04);
    // The first 0.3 s (the first buffer is 1.1 s), past the first 20 ms.
    const std::vector<std::int16_t> start(left.begin() + 882, left.begin() + 882 + 13230);
    EXPECT_NEAR(crossingRate(start, 1, 0, 44100), c.heardHz, 4.0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetBeforePlayCases,
    ::testing::Values(SetBeforePlay{"key_up_two", 2.0, 0.0f, 440.0 * std::pow(2.0, 2.0 / 12), 1.6},
                      SetBeforePlay{"tempo_up_20_percent", 0.0, float(std::log10(1.2)), 440.0,
                                    1.6 / 1.2}),
    [](const ::testing::TestParamInfo<SetBeforePlay>& p) { return std::string(p.param.name); });

// With the reduction on, playback goes on to the song's last sound, as the export does (which
// writes exactly the song's length); only the quarter-frame lead-in comes before it.
TEST_F(HeardPlayback, WithTheReductionOnTheSongIsHeardToItsEnd) {
    prepare = [&] { form->Switch1->SetChecked(true); };
    // A left-only tone: the reduction keeps it whole.
    const std::vector<std::int16_t> left =
        AudibleLeft(PlayToEnd(ToneWav("reduced_to_end.wav", 1000.0, 1.3, true)));
    ASSERT_FALSE(left.empty());
    EXPECT_NEAR(double(left.size()) / 44100, 1.3, 0.01);
}

// A path typed into the box while a song is paused counts as a new choice: play starts it.
TEST_F(PlaybackTest, APathTypedWhilePausedIsWhatPlayStarts) {
    Open();
    form->show();
    Play(ToneWav("first.wav", 440.0, 3.0));
    ASSERT_EQ(State(form->dwFxStream()), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    form->Button4Click(form->Button4);
    form->Timer2Timer(form->Timer2); // the path box comes back with the pause
    ASSERT_EQ(State(form->dwFxStream()), static_cast<DWORD>(BASS_ACTIVE_PAUSED));
    ASSERT_TRUE(form->Edit1->isEnabled());

    const QString typed = ToneWav("typed.wav", 440.0, 1.0);
    form->Edit1->selectAll();
    QTest::keyClicks(form->Edit1, typed);
    QTest::keyClick(form->Edit1, Qt::Key_Return);
    EXPECT_EQ(State(form->dwFxStream()), static_cast<DWORD>(BASS_ACTIVE_STOPPED));

    form->ProcessingButtonClick(form->ProcessingButton);
    ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(BASS_ChannelGetLength(form->dwStream(), BASS_POS_BYTE), QWORD(44100) * 4);
    EXPECT_EQ(State(form->dwFxStream()), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
}
