// The stream chain against real files and the real audio layer (SDL's dummy driver; the disk
// driver where what is heard is compared).
#include "engine/StreamChain.h"
#include "tests/audio_streams/AudioFixtures.h"
#include "audio/include/bass.h"
#include "base/TextCodec.h"
#include "dsp/CorvanelError.h"
#include "dsp/ReduceOffline.h"
#include "dsp/ReduceProc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

using namespace corvanel;
using namespace corvanel::audio::test;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const std::string kUnsupported = "対応していないファイル形式です";

// Noise without zero samples, so where it starts shows in a capture.
std::vector<int16_t> Signal(size_t frames, uint32_t seed) {
    auto s = Noise(frames, 2, seed);
    for (auto& v : s) {
        v = static_cast<int16_t>(v / 4);
        if (v == 0)
            v = 1;
    }
    return s;
}

std::string Wav(const std::string& name, size_t frames, uint32_t seed, unsigned chans = 2,
                uint32_t rate = 44100) {
    return writeWav(name, chans == 2 ? Signal(frames, seed) : Noise(frames, chans, seed), chans,
                    rate)
        .string();
}

std::string ErrorOf(StreamChain& chain, ChainMode mode, const ChainControls& controls) {
    try {
        chain.ProcessingButtonClick(mode, controls);
    } catch (const CorvanelError& e) {
        return e.what();
    }
    return {};
}

float Attribute(DWORD handle, DWORD attrib) {
    float value = -12345.0f;
    BASS_ChannelGetAttribute(handle, attrib, &value);
    return value;
}

// A chain over its own processor or over the program's one.
class ChainTest : public ::testing::Test {
  protected:
    void SetUp() override { Init("dummy"); }
    void TearDown() override {
        chain.reset();
        BASS_Free();
    }

    void Init(const char* driver) {
        chain.reset();
        BASS_Free();
        capture = useAudioDriver(driver);
        ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
        ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_BUFFER, 1100));
        MakeChain(false);
    }

    void MakeChain(bool programInstance) {
        chain.reset();
        ReduceProcessor& p = programInstance ? TheReduceProcessor() : ownProcessor;
        p.SoundQueue().Clear();
        p.HistoryQueue().Clear();
        p.TailQueue().Clear();
        chain = std::make_unique<StreamChain>(p, tap);
    }

    ChainControls Controls(std::string path) const {
        ChainControls c;
        c.Path = std::move(path);
        c.Volume = 0.0f;
        return c;
    }

    // What the device played, once the layer has closed the capture file.
    std::vector<int16_t> Captured() {
        chain.reset();
        BASS_Free();
        return readCapture(capture);
    }

    ReduceParams ownParams;
    ReduceProcessor ownProcessor{ownParams};
    OutputTap tap{4096};
    std::unique_ptr<StreamChain> chain;
    fs::path capture;
};

// Opening --------------------------------------------------------------------------------

TEST_F(ChainTest, UnusableSourcesReleaseTheOldChainAndLeaveNoSource) {
    const std::string good = Wav("good.wav", 44100, 1);
    const std::string text = (fixtureDir() / "notes.txt").string();
    std::ofstream(text) << "not audio at all\n";
    // An AAC file under an extension that sends no opener after the generic one.
    const std::string disguised =
        convert(good, "disguised.mp3", "-c:a aac -b:a 96k -f mp4").string();
    ASSERT_EQ(BASS_StreamCreateFile(FALSE, disguised.c_str(), 0, 0, BASS_STREAM_DECODE), 0u);
    ASSERT_NE(BASS_AAC_StreamCreateFile(FALSE, disguised.c_str(), 0, 0, BASS_STREAM_DECODE), 0u);

    for (const std::string& path :
         {std::string(), text, (fixtureDir() / "missing.wav").string(), disguised}) {
        SCOPED_TRACE(path);
        ownParams.VREnable = true;
        chain->ProcessingButtonClick(ChainMode::Playback, Controls(good));
        const HSTREAM oldStream = chain->dwStream(), oldFx = chain->dwFxStream(),
                      oldOut = chain->dwOutStream();
        ASSERT_TRUE(waitFor([&] { return ownProcessor.HistoryQueue().Count() > 0; }));

        EXPECT_EQ(ErrorOf(*chain, ChainMode::Playback, Controls(path)), kUnsupported);
        EXPECT_EQ(chain->dwStream(), 0u);
        // The other handles keep their values; their streams are gone.
        EXPECT_EQ(chain->dwFxStream(), oldFx);
        EXPECT_EQ(chain->dwOutStream(), oldOut);
        for (HSTREAM h : {oldStream, oldFx, oldOut})
            EXPECT_EQ(BASS_ChannelGetLength(h, BASS_POS_BYTE), static_cast<QWORD>(-1));
        EXPECT_EQ(ownProcessor.SoundQueue().Count(), 0);
        EXPECT_EQ(ownProcessor.HistoryQueue().Count(), 0);
        EXPECT_EQ(ownProcessor.TailQueue().Count(), 0);
        char byte;
        EXPECT_EQ(tap.ReadUpTo(&byte, 1), 0u);
    }
}

TEST_F(ChainTest, NonStereoSourcesNameTheirChannelCountAndStayOpen) {
    for (unsigned chans : {1u, 6u}) {
        SCOPED_TRACE(chans);
        const std::string path = Wav("ch" + std::to_string(chans) + ".wav", 22050, 2, chans);
        EXPECT_EQ(ErrorOf(*chain, ChainMode::Playback, Controls(path)),
                  "モノラルや5.1ch音源には対応していません.(Ch=" + std::to_string(chans) + ")");
        ASSERT_NE(chain->dwStream(), 0u);
        EXPECT_EQ(BASS_ChannelGetLength(chain->dwStream(), BASS_POS_BYTE), 22050u * chans * 2);
        EXPECT_EQ(chain->ChInfo().chans, chans);
        EXPECT_EQ(chain->dwFxStream(), 0u);
        EXPECT_EQ(chain->dwOutStream(), 0u);
    }
}

struct FallBackCase {
    const char* name;
    const char* ffmpegArgs;
};

class ChainFallBack : public ChainTest, public ::testing::WithParamInterface<FallBackCase> {};

// The generic opener refuses these containers; the extension picks the opener that reads them.
TEST_P(ChainFallBack, OpensThroughTheOpenerTheExtensionNames) {
    const std::string wav = Wav("fallback.wav", 44100, 3, 2, 48000);
    const std::string path = convert(wav, GetParam().name, GetParam().ffmpegArgs).string();
    ASSERT_EQ(BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE), 0u);
    chain->ProcessingButtonClick(ChainMode::Export, Controls(path));
    ASSERT_NE(chain->dwStream(), 0u);
    EXPECT_EQ(chain->ChInfo().chans, 2u);
    EXPECT_EQ(chain->ChInfo().freq, 48000u);
    EXPECT_EQ(ownProcessor.SourceRate(), 48000u);
}

INSTANTIATE_TEST_SUITE_P(Extensions, ChainFallBack,
                         ::testing::Values(FallBackCase{"upper.M4A", "-c:a aac -f mp4"},
                                           FallBackCase{"plain.aac", "-c:a aac -f adts"},
                                           FallBackCase{"video.Mp4", "-c:a aac -f mp4"},
                                           FallBackCase{"media.wma", "-c:a wmav2 -f asf"}),
                         [](const auto& param) {
                             std::string n = param.param.name;
                             std::replace(n.begin(), n.end(), '.', '_');
                             return n;
                         });

TEST_F(ChainTest, AJapanesePathOpens) {
    const std::string path = Wav("夜の歌.wav", 4410, 4);
    chain->ProcessingButtonClick(ChainMode::Export, Controls(path));
    EXPECT_NE(chain->dwStream(), 0u);
}

TEST_F(ChainTest, TagsAreReadIntoFiveNamedLines) {
    const std::string wav = Wav("tags.wav", 44100, 5);
    const std::string tagged =
        convert(wav, "tagged.mp3",
                "-c:a libmp3lame -metadata title=夜の歌 -metadata artist=Someone -metadata "
                "album=Album -metadata genre=Pop -metadata date=2001")
            .string();
    const std::string untagged =
        convert(wav, "untagged.mp3", "-c:a libmp3lame -map_metadata -1").string();

    struct Case {
        std::string path;
        std::vector<std::string> values;
    };
    for (const Case& c : {Case{tagged, {"夜の歌", "Someone", "Album", "Pop", "2001"}},
                          Case{untagged, {"", "", "", "", ""}}}) {
        SCOPED_TRACE(c.path);
        chain->ProcessingButtonClick(ChainMode::Export, Controls(c.path));
        const TagList& tags = chain->ChTag();
        EXPECT_EQ(tags.NameValueSeparator(), '\x1e');
        const std::vector<std::string> names{"TITLE", "ARTIST", "ALBUM", "GENRE", "YEAR"};
        ASSERT_EQ(tags.Count(), names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(tags.Lines()[i], names[i] + '\x1e' + c.values[i]);
            EXPECT_EQ(tags.Value(names[i]), c.values[i]);
        }
    }
}

// Playback control ----------------------------------------------------------------------

// Records the queues of the processor as the first block after it was armed meets them; it
// runs ahead of the processor on the tempo stream.
struct QueueProbe {
    ReduceProcessor* processor = nullptr;
    std::atomic<bool> armed{false}, seen{false};
    int64_t sound = -1, history = -1, tail = -1;
};
void ProbeBlock(HDSP, DWORD, void*, DWORD, void* user) {
    auto* probe = static_cast<QueueProbe*>(user);
    if (!probe->armed || probe->seen)
        return;
    probe->sound = probe->processor->SoundQueue().Count();
    probe->history = probe->processor->HistoryQueue().Count();
    probe->tail = probe->processor->TailQueue().Count();
    probe->seen = true;
}

TEST_F(ChainTest, PlayAfterPauseResumesAndEmptiesOnlyTheOverlapQueues) {
    ownParams.VREnable = true;
    ownParams.VRFFTPoint = 8192;
    const std::string path = Wav("resume.wav", 44100 * 30, 6);
    chain->ProcessingButtonClick(ChainMode::Playback, Controls(path));
    const HSTREAM stream = chain->dwStream(), fx = chain->dwFxStream(), out = chain->dwOutStream();
    QueueProbe probe;
    probe.processor = &ownProcessor;
    ASSERT_NE(BASS_ChannelSetDSP(fx, ProbeBlock, &probe, 1), 0u);
    // Some of the source has gone through, and part of a frame waits in SoundQueue. The source
    // is long enough to be still playing then, even under a sanitizer.
    ASSERT_TRUE(waitFor([&] {
        return ownProcessor.HistoryQueue().Count() > 0 && ownProcessor.SoundQueue().Count() > 0;
    }));

    chain->Button4Click();
    ASSERT_EQ(BASS_ChannelIsActive(fx), static_cast<DWORD>(BASS_ACTIVE_PAUSED));
    const int64_t sound = ownProcessor.SoundQueue().Count();
    const QWORD position = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
    ASSERT_GT(position, 0u);
    EXPECT_NE(BASS_ChannelIsActive(out), static_cast<DWORD>(BASS_ACTIVE_PAUSED));

    probe.armed = true;
    chain->ProcessingButtonClick(ChainMode::Playback, Controls(path));
    EXPECT_EQ(chain->dwStream(), stream);
    EXPECT_EQ(chain->dwFxStream(), fx);
    EXPECT_EQ(chain->dwOutStream(), out);
    EXPECT_EQ(BASS_ChannelIsActive(fx), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    ASSERT_TRUE(waitFor([&] { return probe.seen.load(); }));
    EXPECT_EQ(probe.sound, sound);
    EXPECT_EQ(probe.history, 0);
    EXPECT_EQ(probe.tail, 0);
    EXPECT_GE(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), position);
}

TEST_F(ChainTest, ControlValuesReachEveryNewChain) {
    const std::string path = Wav("controls.wav", 44100, 7);
    ChainControls c = Controls(path);
    c.Volume = 20.0f;
    c.KeyChange = -3.0;
    c.Tempo = static_cast<float>(std::log10(1.2));
    const float tempo = static_cast<float>(TempoPercentFromBar(c.Tempo));
    ASSERT_NEAR(tempo, 20.0f, 0.01f);

    for (ChainMode mode : {ChainMode::Playback, ChainMode::Export}) {
        SCOPED_TRACE(mode == ChainMode::Playback ? "playback" : "export");
        ownParams.VRKeyChange = 0.0;
        ownParams.VRTempo = 0.0;
        chain->ProcessingButtonClick(mode, c);
        EXPECT_EQ(Attribute(chain->dwFxStream(), BASS_ATTRIB_TEMPO_PITCH), -3.0f);
        EXPECT_EQ(Attribute(chain->dwFxStream(), BASS_ATTRIB_TEMPO), tempo);
        EXPECT_EQ(ownParams.VRKeyChange.load(), -3.0);
        EXPECT_EQ(ownParams.VRTempo.load(), TempoPercentFromBar(c.Tempo));
        // The volume is for listening only.
        EXPECT_EQ(Attribute(chain->dwOutStream(), BASS_ATTRIB_VOL),
                  mode == ChainMode::Playback ? 0.1f : 1.0f);
    }
}

TEST_F(ChainTest, VolumeBarIsDecibelsOfAttenuation) {
    chain->ProcessingButtonClick(ChainMode::Playback, Controls(Wav("vol.wav", 44100, 8)));
    const struct {
        float bar;
        float gain;
    } cases[] = {{0.0f, 1.0f},
                 {20.0f, 0.1f},
                 {90.0f, static_cast<float>(std::pow(10.0, -4.5))},
                 {6.5f, static_cast<float>(std::pow(10.0, -6.5 / 20.0))}};
    for (const auto& c : cases) {
        chain->VolumeBarChange(c.bar);
        EXPECT_EQ(Attribute(chain->dwOutStream(), BASS_ATTRIB_VOL), c.gain) << c.bar;
    }
}

TEST_F(ChainTest, HandlersWithoutAChainStoreTheirValuesOnly) {
    chain->SpinKeyChangeChange(4.0);
    chain->TrackTempoChange(0.301f);
    chain->VolumeBarChange(10.0f);
    chain->Button4Click();
    chain->TrackPositionChange(1.0f, 0);
    EXPECT_EQ(ownParams.VRKeyChange.load(), 4.0);
    EXPECT_NEAR(ownParams.VRTempo.load(), 99.986, 0.001);
}

TEST_F(ChainTest, TheReductionSwitchResetsTempoAndPitchButNotTheirValues) {
    ChainControls c = Controls(Wav("switch.wav", 44100, 9));
    c.KeyChange = 2.0;
    c.Tempo = static_cast<float>(std::log10(1.2));
    chain->ProcessingButtonClick(ChainMode::Playback, c);
    const double tempo = ownParams.VRTempo;
    ASSERT_NE(Attribute(chain->dwFxStream(), BASS_ATTRIB_TEMPO), 0.0f);

    chain->Switch1Switch(true);
    EXPECT_TRUE(ownParams.VREnable.load());
    EXPECT_EQ(Attribute(chain->dwFxStream(), BASS_ATTRIB_TEMPO), 0.0f);
    EXPECT_EQ(Attribute(chain->dwFxStream(), BASS_ATTRIB_TEMPO_PITCH), 0.0f);
    EXPECT_EQ(ownParams.VRKeyChange.load(), 2.0);
    EXPECT_EQ(ownParams.VRTempo.load(), tempo);

    // Touching the key brings it back; the speed stays normal until the tempo is touched.
    chain->SpinKeyChangeChange(2.0);
    EXPECT_EQ(Attribute(chain->dwFxStream(), BASS_ATTRIB_TEMPO_PITCH), 2.0f);
    EXPECT_EQ(Attribute(chain->dwFxStream(), BASS_ATTRIB_TEMPO), 0.0f);

    chain->Switch1Switch(false);
    EXPECT_FALSE(ownParams.VREnable.load());
}

TEST_F(ChainTest, SeekingIsIgnoredWhileTheTimerMovesTheBar) {
    chain->ProcessingButtonClick(ChainMode::Export, Controls(Wav("seek.wav", 44100 * 2, 10)));
    const HSTREAM stream = chain->dwStream();
    chain->TrackPositionChange(1.5f, 1);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 0u);
    chain->TrackPositionChange(1.5f, 0);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 44100u * 3 / 2 * 4);
}

// File choice ---------------------------------------------------------------------------

TEST_F(ChainTest, ChoosingAFileStopsOnlyTheTempoStream) {
    chain->ProcessingButtonClick(ChainMode::Playback, Controls(Wav("choose.wav", 44100 * 4, 11)));
    const HSTREAM fx = chain->dwFxStream(), out = chain->dwOutStream();

    EXPECT_EQ(chain->Button1Click(std::nullopt), std::nullopt);
    EXPECT_EQ(BASS_ChannelIsActive(fx), static_cast<DWORD>(BASS_ACTIVE_PLAYING));

    EXPECT_EQ(chain->Button1Click(std::string("/x/other.ogg")), "/x/other.ogg");
    EXPECT_EQ(BASS_ChannelIsActive(fx), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_NE(BASS_ChannelIsActive(out), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_NE(BASS_ChannelGetLength(chain->dwStream(), BASS_POS_BYTE), static_cast<QWORD>(-1));
}

TEST_F(ChainTest, DragAndDropTakesTheFirstNonEmptyFile) {
    const struct {
        std::vector<std::string> files;
        bool accepted;
        std::string dropPath;
    } cases[] = {
        {{}, false, ""},
        {{""}, false, ""},
        {{"/a/first.xyz", "/a/second.wav", "/a/third.mp3"}, true, "/a/first.xyz"},
        {{"/a/日本語.m4a"}, true, "/a/日本語.m4a"},
    };
    for (const auto& c : cases) {
        chain->Edit1DragEnter();
        EXPECT_EQ(chain->sDropPath(), "");
        EXPECT_EQ(chain->Edit1DragOver(c.files), c.accepted);
        EXPECT_EQ(chain->sDropPath(), c.dropPath);
        if (c.accepted) {
            EXPECT_EQ(chain->Edit1DragDrop(), c.dropPath);
        }
    }
    chain->ProcessingButtonClick(ChainMode::Playback, Controls(Wav("drop.wav", 44100 * 4, 12)));
    chain->Edit1DragEnter();
    ASSERT_TRUE(chain->Edit1DragOver({"/a/b.wav"}));
    // A later event without files keeps the path the drag carries.
    EXPECT_TRUE(chain->Edit1DragOver({}));
    EXPECT_EQ(chain->Edit1DragDrop(), "/a/b.wav");
    EXPECT_EQ(BASS_ChannelIsActive(chain->dwFxStream()), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
}

// Export mode -----------------------------------------------------------------------------

TEST_F(ChainTest, AnExportChainPlaysAndAttachesNothing) {
    ownParams.VREnable = true;
    const auto samples = Signal(20000, 13);
    const std::string path = writeWav("export.wav", samples, 2, 44100).string();
    chain->ProcessingButtonClick(ChainMode::Export, Controls(path));

    for (HSTREAM h : {chain->dwFxStream(), chain->dwOutStream()}) {
        BASS_CHANNELINFO info{};
        ASSERT_TRUE(BASS_ChannelGetInfo(h, &info));
        EXPECT_TRUE(info.flags & BASS_STREAM_DECODE);
        EXPECT_EQ(info.freq, 44100u);
        EXPECT_EQ(info.chans, 2u);
    }
    // Pulled by hand, the tempo stream gives the source untouched: no routine silenced it.
    EXPECT_EQ(decodeAll(chain->dwFxStream()), samples);
    EXPECT_EQ(ownProcessor.SoundQueue().Count(), 0);
    char byte;
    EXPECT_EQ(tap.ReadUpTo(&byte, 1), 0u);
}

TEST_F(ChainTest, HandleZeroWritesToTheEncoderTheExportSets) {
    ownParams.VREnable = false;
    ownProcessor.SetEncoderPassThroughPause(0ms);
    const auto samples = Signal(8000, 14);
    const std::string path = writeWav("enc_in.wav", samples, 2, 44100).string();
    chain->ProcessingButtonClick(ChainMode::Export, Controls(path));
    const std::u16string out = Utf8ToUtf16((fixtureDir() / "enc_out.wav").string());
    chain->SetEncoder(BASS_Encode_Start(chain->dwOutStream(), out.c_str(),
                                        BASS_ENCODE_UNICODE | BASS_ENCODE_QUEUE | BASS_ENCODE_PCM,
                                        nullptr, nullptr));
    ASSERT_NE(chain->dwEncoder(), 0u);
    std::vector<int16_t> block(4000);
    for (;;) {
        const DWORD n = BASS_ChannelGetData(chain->dwFxStream(), block.data(), 8000);
        if (n == static_cast<DWORD>(-1) || n == 0)
            break;
        chain->ReduceRoutine()(0, chain->dwFxStream(), block.data(), n, chain->ReduceUser());
        EXPECT_TRUE(
            std::all_of(block.begin(), block.begin() + n / 2, [](int16_t s) { return s == 0; }));
    }
    ASSERT_TRUE(BASS_Encode_Stop(chain->dwEncoder()));
    chain->SetEncoder(0);
    const HSTREAM written =
        BASS_StreamCreateFile(FALSE, out.c_str(), 0, 0, BASS_UNICODE | BASS_STREAM_DECODE);
    EXPECT_EQ(decodeAll(written), samples);
}

// What is heard --------------------------------------------------------------------------

// Index of the first place where needle starts in hay, or npos.
size_t Find(const std::vector<int16_t>& hay, const std::vector<int16_t>& needle, size_t probe) {
    probe = std::min(probe, needle.size());
    const auto it = std::search(hay.begin(), hay.end(), needle.begin(),
                                needle.begin() + static_cast<long>(probe));
    return it == hay.end() ? std::string::npos : static_cast<size_t>(it - hay.begin());
}

class ChainHeard : public ChainTest, public ::testing::WithParamInterface<bool> {};

// With the reduction on, the device plays what the processor makes of the decoded source,
// through the program's processor (ReduceProc) or one of a chain's own.
TEST_P(ChainHeard, TheDevicePlaysTheProcessorsOutput) {
    Init("disk");
    const bool program = GetParam();
    MakeChain(program);
    ReduceParams& params = program ? VR : ownParams;
    params.VREnable = true;
    params.VRFFTPoint = 8192;

    const std::string path = Wav("heard.wav", 44100, 15);
    const HSTREAM decoder = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    const auto source = decodeAll(decoder);
    BASS_StreamFree(decoder);

    ReduceParams refParams;
    refParams.VREnable = true;
    refParams.VRFFTPoint = 8192;
    ReduceProcessor reference(refParams);
    reference.SetSourceRate(44100);
    const auto* bytes = reinterpret_cast<const uint8_t*>(source.data());
    const auto out = ReduceOffline(reference, {bytes, source.size() * 2}, 4410 * 4);
    std::vector<int16_t> expected(out.size() / 2);
    std::memcpy(expected.data(), out.data(), expected.size() * 2);
    const auto firstSound =
        std::find_if(expected.begin(), expected.end(), [](int16_t s) { return s != 0; });
    ASSERT_NE(firstSound, expected.end());
    const std::vector<int16_t> sounding(firstSound, expected.end());

    chain->ProcessingButtonClick(ChainMode::Playback, Controls(path));
    ASSERT_TRUE(waitFor([&] {
        return BASS_ChannelIsActive(chain->dwFxStream()) == BASS_ACTIVE_STOPPED &&
               BASS_ChannelIsActive(chain->dwOutStream()) != BASS_ACTIVE_PLAYING;
    }));
    params.VREnable = false;
    const auto heard = Captured();
    const size_t at = Find(heard, sounding, 256);
    ASSERT_NE(at, std::string::npos);
    ASSERT_GE(heard.size() - at, sounding.size());
    for (size_t i = 0; i < sounding.size(); ++i)
        ASSERT_EQ(heard[at + i], sounding[i]) << "sample " << i;
}

INSTANTIATE_TEST_SUITE_P(Processors, ChainHeard, ::testing::Values(false, true),
                         [](const auto& param) { return param.param ? "Program" : "Own"; });

TEST_F(ChainTest, PauseThenAnotherFileThenPlayStartsThatFileFromItsBeginning) {
    Init("disk");
    ownParams.VREnable = false;
    const std::string first = Wav("first.wav", 44100 * 3, 16);
    const auto second = Signal(30000, 17);
    const std::string secondPath = writeWav("second.wav", second, 2, 44100).string();

    chain->ProcessingButtonClick(ChainMode::Playback, Controls(first));
    const HSTREAM firstStream = chain->dwStream();
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(firstStream, BASS_POS_BYTE) > 0; }));
    chain->Button4Click();
    ASSERT_EQ(chain->Button1Click(secondPath), secondPath);
    chain->ProcessingButtonClick(ChainMode::Playback, Controls(secondPath));
    EXPECT_NE(chain->dwStream(), firstStream);
    ASSERT_TRUE(waitFor([&] {
        return BASS_ChannelIsActive(chain->dwFxStream()) == BASS_ACTIVE_STOPPED &&
               BASS_ChannelIsActive(chain->dwOutStream()) != BASS_ACTIVE_PLAYING;
    }));
    const auto heard = Captured();
    const size_t at = Find(heard, second, 64);
    ASSERT_NE(at, std::string::npos);
    ASSERT_GE(heard.size() - at, second.size());
    EXPECT_TRUE(std::equal(second.begin(), second.end(), heard.begin() + static_cast<long>(at)));
}

// The output tap sees the blocks the push stream plays: pieces of the source here.
TEST_F(ChainTest, TheTapHoldsABlockOfWhatIsPlayed) {
    ownParams.VREnable = false;
    const auto samples = Signal(44100 * 2, 18);
    chain->ProcessingButtonClick(ChainMode::Playback,
                                 Controls(writeWav("tap.wav", samples, 2, 44100).string()));
    std::vector<int16_t> block(1024);
    size_t got = 0;
    ASSERT_TRUE(waitFor([&] {
        got = tap.ReadUpTo(block.data(), block.size() * 2);
        return got >= 16;
    }));
    block.resize(got / 2);
    EXPECT_NE(std::search(samples.begin(), samples.end(), block.begin(), block.end()),
              samples.end());
}

// Text -----------------------------------------------------------------------------------

TEST(TextCodec, Utf8BecomesUtf16) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"", u""},
        {"/tmp/a.wav", u"/tmp/a.wav"},
        {"夜の歌.m4a", u"夜の歌.m4a"},
        {"\xF0\x9F\x8E\xB5", u"\U0001F3B5"},
        {"a\xFFz", u"a\uFFFDz"},
        {"\xC0\xAF", u"\uFFFD\uFFFD"},
        {"\xE3\x81", u"\uFFFD\uFFFD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
}

TEST(TagListText, SplitsAtEveryKindOfLineBreak) {
    TagList tags;
    tags.SetNameValueSeparator('\x1e');
    tags.SetText("TITLE\x1eOne\r\nARTIST\x1e\nALBUM\x1e"
                 "A=B\rYEAR\x1e"
                 "2001\r\n");
    ASSERT_EQ(tags.Count(), 4u);
    EXPECT_EQ(tags.Value("title"), "One");
    EXPECT_EQ(tags.Value("ARTIST"), "");
    EXPECT_EQ(tags.Value("ALBUM"), "A=B");
    EXPECT_EQ(tags.Value("GENRE"), "");
    EXPECT_EQ(tags.Name(3), "YEAR");
    EXPECT_EQ(tags.Text(), "TITLE\x1eOne\r\nARTIST\x1e\r\nALBUM\x1e"
                           "A=B\r\nYEAR\x1e"
                           "2001\r\n");
}

} // namespace
