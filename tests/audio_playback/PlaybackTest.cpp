// Playback through SDL's disk driver (it writes what would be heard) or the dummy driver.
#include "tests/audio_streams/AudioFixtures.h"
#include "audio/include/bass.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <thread>

using namespace corvanel::audio::test;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class Playback : public ::testing::Test {
  protected:
    void SetUp() override { init("dummy"); }
    void TearDown() override { BASS_Free(); }

    void init(const char* driver) {
        BASS_Free();
        capture = useAudioDriver(driver);
        ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
        ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_BUFFER, 1100));
        ASSERT_TRUE(BASS_Start());
    }

    // What the device played, after BASS_Free closed the file.
    std::vector<int16_t> captured() {
        BASS_Free();
        return readCapture(capture);
    }

    // The heard signal from its first non-silent sample on.
    static std::vector<int16_t> fromFirstSound(const std::vector<int16_t>& all, size_t count) {
        auto first = std::find_if(all.begin(), all.end(), [](int16_t s) { return s != 0; });
        const size_t at = static_cast<size_t>(first - all.begin()) & ~size_t{1};
        return std::vector<int16_t>(all.begin() + static_cast<long>(std::min(at, all.size())),
                                    all.begin() +
                                        static_cast<long>(std::min(at + count, all.size())));
    }

    fs::path capture;
};

// A signal without zero samples, so its start is found in the capture.
std::vector<int16_t> signal(size_t frames, uint32_t seed) {
    auto s = Noise(frames, 2, seed);
    for (auto& v : s)
        if (v == 0)
            v = 1;
    return s;
}

TEST_F(Playback, APushStreamIsHeardExactlyTimesItsVolume) {
    init("disk");
    const auto samples = signal(30000, 21);
    const HSTREAM h = BASS_StreamCreate(44100, 2, 0, STREAMPROC_PUSH, nullptr);
    ASSERT_TRUE(BASS_ChannelSetAttribute(h, BASS_ATTRIB_VOL, 0.5f));
    ASSERT_EQ(BASS_StreamPutData(h, samples.data(),
                                 static_cast<DWORD>(samples.size() * 2) | BASS_STREAMPROC_END),
              samples.size() * 2);
    ASSERT_TRUE(BASS_ChannelPlay(h, TRUE));
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(h) == BASS_ACTIVE_STOPPED; }));
    const auto heard = fromFirstSound(captured(), samples.size());
    ASSERT_EQ(heard.size(), samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        ASSERT_NEAR(heard[i], std::nearbyint(samples[i] * 0.5f), 1) << "sample " << i;
}

// The program's chain: a playing tempo stream whose routine silences each block after pushing
// it into a playing push stream. What is heard is the source.
struct Forward {
    HSTREAM out = 0;
    std::atomic<int> calls{0};
};
void forwardBlock(HDSP, DWORD, void* buffer, DWORD length, void* user) {
    auto* f = static_cast<Forward*>(user);
    ++f->calls;
    BASS_StreamPutData(f->out, buffer, length);
    std::fill_n(static_cast<char*>(buffer), length, 0);
}

TEST_F(Playback, TheTempoChainIsHeardAsItsSource) {
    init("disk");
    const auto samples = signal(40000, 22);
    const auto path = writeWav("chain.wav", samples, 2, 44100).string();
    const HSTREAM src = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    const HSTREAM fx = BASS_FX_TempoCreate(src, 0);
    Forward forward;
    forward.out = BASS_StreamCreate(44100, 2, 0, STREAMPROC_PUSH, nullptr);
    ASSERT_NE(BASS_ChannelSetDSP(fx, forwardBlock, &forward, 0), 0u);
    ASSERT_TRUE(BASS_ChannelPlay(fx, -1));
    ASSERT_TRUE(BASS_ChannelPlay(forward.out, -1));
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(fx) == BASS_ACTIVE_STOPPED; }));
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(forward.out) == BASS_ACTIVE_STALLED; }));
    EXPECT_EQ(BASS_ChannelGetPosition(src, BASS_POS_BYTE), samples.size() * 2);
    EXPECT_GT(forward.calls, 0);
    EXPECT_EQ(fromFirstSound(captured(), samples.size()), samples);
}

TEST_F(Playback, PauseKeepsThePositionAndPlayResumes) {
    const auto path = writeWav("pause.wav", signal(44100 * 4, 23), 2, 44100).string();
    const HSTREAM h = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
    ASSERT_TRUE(BASS_ChannelPlay(h, TRUE));
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(h, BASS_POS_BYTE) > 20000; }));
    ASSERT_TRUE(BASS_ChannelPause(h));
    EXPECT_EQ(BASS_ChannelIsActive(h), static_cast<DWORD>(BASS_ACTIVE_PAUSED));
    const QWORD paused = BASS_ChannelGetPosition(h, BASS_POS_BYTE);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), paused);
    EXPECT_FALSE(BASS_ChannelPause(h));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));
    EXPECT_EQ(BASS_ChannelIsActive(h), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(h, BASS_POS_BYTE) > paused; }));
    EXPECT_LT(BASS_ChannelGetPosition(h, BASS_POS_BYTE), paused + 44100 * 4);
}

TEST_F(Playback, APushStreamStallsWithoutDataAndPlaysWhenDataArrives) {
    const HSTREAM h = BASS_StreamCreate(22050, 1, 0, STREAMPROC_PUSH, nullptr);
    ASSERT_TRUE(BASS_ChannelPlay(h, TRUE));
    EXPECT_EQ(BASS_ChannelIsActive(h), static_cast<DWORD>(BASS_ACTIVE_STALLED));
    const auto samples = signal(2205, 24);
    BASS_StreamPutData(h, samples.data(), static_cast<DWORD>(samples.size() * 2));
    EXPECT_EQ(BASS_ChannelIsActive(h), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(h) == BASS_ACTIVE_STALLED; }));
    EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), samples.size() * 2);
}

TEST_F(Playback, AFileStreamStopsAtItsEndOnceDrained) {
    const auto path = writeWav("end.wav", signal(4410, 25), 2, 44100).string();
    const HSTREAM h = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
    ASSERT_TRUE(BASS_ChannelPlay(h, TRUE));
    EXPECT_EQ(BASS_ChannelIsActive(h), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(h) == BASS_ACTIVE_STOPPED; }));
    EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), 4410u * 4);
    // Play from the start again.
    ASSERT_TRUE(BASS_ChannelPlay(h, TRUE));
    EXPECT_EQ(BASS_ChannelIsActive(h), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
}

TEST_F(Playback, DecodingChannelsAndMissingInitAreRefused) {
    const HSTREAM decode =
        BASS_StreamCreate(44100, 2, BASS_STREAM_DECODE, STREAMPROC_PUSH, nullptr);
    EXPECT_FALSE(BASS_ChannelPlay(decode, TRUE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DECODE);
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    const HSTREAM h = BASS_StreamCreate(44100, 2, 0, STREAMPROC_PUSH, nullptr);
    ASSERT_TRUE(BASS_Free());
    // BASS_Free released every stream.
    EXPECT_FALSE(BASS_StreamFree(h));
    EXPECT_FALSE(BASS_StreamFree(decode));
    const HSTREAM later = BASS_StreamCreate(44100, 2, 0, STREAMPROC_PUSH, nullptr);
    EXPECT_FALSE(BASS_ChannelPlay(later, TRUE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_Free());
    BASS_StreamFree(later);
}

TEST_F(Playback, WithoutAUsableDriverItFallsBackToSilentPlayback) {
    BASS_Free();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    const auto path = writeWav("fallback.wav", signal(44100, 26), 2, 44100).string();
    const HSTREAM h = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
    ASSERT_TRUE(BASS_ChannelPlay(h, TRUE));
    EXPECT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(h, BASS_POS_BYTE) > 4000; }));
}

// The UI thread's calls against the audio thread: each routine run must find its stream
// alive, and no routine runs once BASS_Free or BASS_StreamFree has returned.
struct Counting {
    std::atomic<int> calls{0};
    std::atomic<bool> forbidden{false};
    std::atomic<int> lateCalls{0};
};
void countBlock(HDSP, DWORD, void* buffer, DWORD length, void* user) {
    auto* c = static_cast<Counting*>(user);
    ++c->calls;
    if (c->forbidden)
        ++c->lateCalls;
    std::fill_n(static_cast<char*>(buffer), length / 2, 0);
}

TEST_F(Playback, ControlCallsWhileRenderingAreSafe) {
    const auto path = writeWav("busy.wav", signal(44100 * 3, 27), 2, 44100).string();
    Counting counting;
    // Rounds 1 and 2 keep playing until BASS_Free, so their routines' data must outlive the loop.
    std::array<Forward, 3> forwards;
    for (int round = 0; round < 3; ++round) {
        const HSTREAM src = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE);
        const HSTREAM fx = BASS_FX_TempoCreate(src, 0);
        const HSTREAM out = BASS_StreamCreate(44100, 2, 0, STREAMPROC_PUSH, nullptr);
        Forward& forward = forwards[static_cast<std::size_t>(round)];
        forward.out = out;
        BASS_ChannelSetDSP(fx, forwardBlock, &forward, 0);
        BASS_ChannelSetDSP(out, countBlock, &counting, 0);
        BASS_ChannelPlay(fx, -1);
        BASS_ChannelPlay(out, -1);
        for (int i = 0; i < 20; ++i) {
            BASS_ChannelSetAttribute(fx, BASS_ATTRIB_TEMPO, static_cast<float>(i * 5));
            BASS_ChannelSetAttribute(fx, BASS_ATTRIB_TEMPO_PITCH, static_cast<float>(i % 5));
            BASS_ChannelSetAttribute(out, BASS_ATTRIB_VOL, 0.1f * static_cast<float>(i % 10));
            BASS_ChannelSetPosition(src, BASS_ChannelSeconds2Bytes(src, 0.1 * i), BASS_POS_BYTE);
            if (i % 4 == 1)
                BASS_ChannelPause(fx);
            if (i % 4 == 3)
                BASS_ChannelPlay(fx, 0);
            BASS_ChannelGetPosition(src, BASS_POS_BYTE);
            BASS_ChannelIsActive(fx);
            std::this_thread::sleep_for(3ms);
        }
        if (round == 0) {
            BASS_ChannelStop(fx);
            BASS_StreamFree(fx);
            BASS_StreamFree(src);
            counting.forbidden = false;
            BASS_StreamFree(out);
            counting.forbidden = true;
            std::this_thread::sleep_for(50ms);
            counting.forbidden = false;
        }
    }
    // Rounds 1 and 2 are still playing when the library is freed.
    ASSERT_TRUE(BASS_Free());
    counting.forbidden = true;
    std::this_thread::sleep_for(50ms);
    EXPECT_GT(counting.calls, 0);
    EXPECT_EQ(counting.lateCalls, 0);
}

TEST_F(Playback, RapidPlayStopFreeCycles) {
    const auto samples = signal(4410, 28);
    const auto path = writeWav("rapid.wav", samples, 2, 44100).string();
    Counting counting;
    for (int i = 0; i < 100; ++i) {
        const HSTREAM file = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
        const HSTREAM push = BASS_StreamCreate(48000, 1, 0, STREAMPROC_PUSH, nullptr);
        BASS_ChannelSetDSP(file, countBlock, &counting, 0);
        BASS_StreamPutData(push, samples.data(), 4000);
        ASSERT_TRUE(BASS_ChannelPlay(file, TRUE));
        ASSERT_TRUE(BASS_ChannelPlay(push, TRUE));
        if (i % 3 == 0)
            std::this_thread::sleep_for(1ms);
        if (i % 2 == 0) {
            BASS_ChannelStop(file);
            BASS_ChannelPlay(file, FALSE);
        }
        ASSERT_TRUE(BASS_StreamFree(file));
        ASSERT_TRUE(BASS_StreamFree(push));
    }
    EXPECT_EQ(BASS_ChannelIsActive(0), 0u);
}

} // namespace
