// Push streams and DSP routines on decoding channels.
#include "tests/audio_streams/AudioFixtures.h"
#include "audio/include/bass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

using namespace corvanel::audio::test;

namespace {

TEST(Push, ADecodingPushStreamGivesBackExactlyWhatWasPushed) {
    const HSTREAM h = BASS_StreamCreate(48000, 2, BASS_STREAM_DECODE, STREAMPROC_PUSH, nullptr);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(BASS_ChannelIsActive(h), static_cast<DWORD>(BASS_ACTIVE_STALLED));
    const auto samples = Noise(10000, 2, 4);
    // Pushed in odd pieces, pulled in others.
    size_t at = 0;
    for (size_t piece : {1u, 999u, 3000u, 17u, 5983u}) {
        ASSERT_NE(BASS_StreamPutData(h, samples.data() + at * 2, static_cast<DWORD>(piece * 4)),
                  static_cast<DWORD>(-1));
        at += piece;
    }
    EXPECT_EQ(BASS_ChannelIsActive(h), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    std::vector<int16_t> got;
    std::vector<int16_t> block(1234 * 2);
    for (;;) {
        const DWORD n = BASS_ChannelGetData(h, block.data(), static_cast<DWORD>(block.size() * 2));
        ASSERT_NE(n, static_cast<DWORD>(-1));
        if (n == 0)
            break;
        got.insert(got.end(), block.begin(), block.begin() + n / 2);
    }
    EXPECT_EQ(got, samples);
    EXPECT_EQ(BASS_ChannelIsActive(h), static_cast<DWORD>(BASS_ACTIVE_STALLED));
    // The end mark: what is left comes out, then the stream ends.
    ASSERT_EQ(BASS_StreamPutData(h, samples.data(), 8 | BASS_STREAMPROC_END), 8u);
    EXPECT_EQ(BASS_ChannelGetData(h, block.data(), 100), 8u);
    EXPECT_EQ(BASS_ChannelGetData(h, block.data(), 100), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_StreamPutData(h, samples.data(), 8), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ENDED);
    BASS_StreamFree(h);
}

// The queue's room is set when the stream is made (ten seconds of its audio), so putting
// never allocates on the audio thread: a put that does not fit in what is left is refused
// whole, and what was queued comes out untouched, across the ring's end too.
TEST(Push, APutBeyondTheRoomLeftIsRefusedWhole) {
    const HSTREAM h = BASS_StreamCreate(1000, 2, BASS_STREAM_DECODE, STREAMPROC_PUSH, nullptr);
    ASSERT_NE(h, 0u);
    constexpr DWORD kRoom = 10 * 1000 * 4;
    std::vector<char> data(2 * kRoom); // a byte pattern that does not repeat within a room
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>((i * 7 + i / 251) % 256);
    const char* bytes = data.data();
    ASSERT_EQ(BASS_StreamPutData(h, bytes, kRoom - 400), kRoom - 400);
    EXPECT_EQ(BASS_StreamPutData(h, bytes + kRoom - 400, 404), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_MEM);
    std::vector<char> got(kRoom + 1000);
    ASSERT_EQ(BASS_ChannelGetData(h, got.data(), 1000), 1000u);
    // Now it fits, wrapping round the ring's end.
    ASSERT_EQ(BASS_StreamPutData(h, bytes + kRoom - 400, 1400), kRoom);
    ASSERT_EQ(BASS_ChannelGetData(h, got.data() + 1000, kRoom), kRoom);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), bytes));
    BASS_StreamFree(h);
}

TEST(Push, RefusesPartialFramesAndNonPushStreams) {
    const HSTREAM h = BASS_StreamCreate(44100, 2, BASS_STREAM_DECODE, STREAMPROC_PUSH, nullptr);
    const int16_t data[4] = {1, 2, 3, 4};
    EXPECT_EQ(BASS_StreamPutData(h, data, 6), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    const auto path = writeWav("push_file.wav", Noise(100, 2), 2, 44100).string();
    const HSTREAM file = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    EXPECT_EQ(BASS_StreamPutData(file, data, 8), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOTAVAIL);
    EXPECT_EQ(BASS_StreamCreate(44100, 0, 0, STREAMPROC_PUSH, nullptr), 0u);
    EXPECT_EQ(BASS_StreamCreate(10, 2, 0, STREAMPROC_PUSH, nullptr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FREQ);
    BASS_StreamFree(h);
    BASS_StreamFree(file);
}

TEST(Push, ACallbackStreamDeliversWhatItsProcedureWrites) {
    struct State {
        int16_t next = 0;
        int calls = 0;
    } state;
    auto proc = [](HSTREAM, void* buffer, DWORD length, void* user) -> DWORD {
        auto* s = static_cast<State*>(user);
        if (++s->calls > 3)
            return BASS_STREAMPROC_END;
        auto* out = static_cast<int16_t*>(buffer);
        for (DWORD i = 0; i < length / 2; ++i)
            out[i] = s->next++;
        return length;
    };
    const HSTREAM h = BASS_StreamCreate(44100, 1, BASS_STREAM_DECODE, proc, &state);
    const auto all = decodeAll(h, 200);
    ASSERT_EQ(all.size(), 300u);
    for (size_t i = 0; i < all.size(); ++i)
        ASSERT_EQ(all[i], static_cast<int16_t>(i));
    BASS_StreamFree(h);
}

struct DspLog {
    std::atomic<int> calls{0};
    DWORD channel = 0;
};

void halve(HDSP, DWORD channel, void* buffer, DWORD length, void* user) {
    auto* log = static_cast<DspLog*>(user);
    ++log->calls;
    log->channel = channel;
    auto* s = static_cast<int16_t*>(buffer);
    for (DWORD i = 0; i < length / 2; ++i)
        s[i] = static_cast<int16_t>(s[i] / 2);
}

void addOne(HDSP, DWORD, void* buffer, DWORD length, void*) {
    auto* s = static_cast<int16_t*>(buffer);
    for (DWORD i = 0; i < length / 2; ++i)
        s[i] = static_cast<int16_t>(s[i] + 1);
}

TEST(Dsp, TheStreamDeliversWhatTheRoutinesLeaveInPriorityOrder) {
    const auto samples = Noise(5000, 2, 12);
    const auto path = writeWav("dsp.wav", samples, 2, 44100).string();
    const HSTREAM h = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    DspLog log;
    // addOne has the higher priority, so it runs first: (x + 1) / 2.
    const HDSP first = BASS_ChannelSetDSP(h, halve, &log, 0);
    const HDSP second = BASS_ChannelSetDSP(h, addOne, nullptr, 5);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    std::vector<int16_t> block(1000 * 2);
    ASSERT_EQ(BASS_ChannelGetData(h, block.data(), 4000), 4000u);
    for (size_t i = 0; i < block.size(); ++i)
        ASSERT_EQ(block[i], static_cast<int16_t>(static_cast<int16_t>(samples[i] + 1) / 2));
    EXPECT_EQ(log.channel, h);

    ASSERT_TRUE(BASS_ChannelRemoveDSP(h, second));
    EXPECT_FALSE(BASS_ChannelRemoveDSP(h, second));
    ASSERT_EQ(BASS_ChannelGetData(h, block.data(), 4000), 4000u);
    for (size_t i = 0; i < block.size(); ++i)
        ASSERT_EQ(block[i], static_cast<int16_t>(samples[2000 + i] / 2));

    const int before = log.calls;
    ASSERT_TRUE(BASS_StreamFree(h));
    EXPECT_EQ(BASS_ChannelGetData(h, block.data(), 4000), static_cast<DWORD>(-1));
    EXPECT_EQ(log.calls, before);
    EXPECT_FALSE(BASS_ChannelRemoveDSP(h, first));
}

TEST(Dsp, RoutinesOnATempoStreamSeeEveryBlockItRenders) {
    const auto samples = Noise(20000, 2, 13);
    const auto path = writeWav("dsp_tempo.wav", samples, 2, 44100).string();
    const HSTREAM src = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    const HSTREAM fx = BASS_FX_TempoCreate(src, BASS_STREAM_DECODE);
    const HSTREAM out = BASS_StreamCreate(44100, 2, BASS_STREAM_DECODE, STREAMPROC_PUSH, nullptr);
    // The program's chain: the routine forwards each block to the push stream, then silences it.
    struct Target {
        HSTREAM out;
    } target{out};
    auto forward = [](HDSP, DWORD, void* buffer, DWORD length, void* user) {
        BASS_StreamPutData(static_cast<Target*>(user)->out, buffer, length);
        std::fill_n(static_cast<char*>(buffer), length, 0);
    };
    ASSERT_NE(BASS_ChannelSetDSP(fx, forward, &target, 0), 0u);
    const auto silent = decodeAll(fx, 4444);
    EXPECT_EQ(silent.size(), samples.size());
    EXPECT_TRUE(std::all_of(silent.begin(), silent.end(), [](int16_t s) { return s == 0; }));
    EXPECT_EQ(decodeAll(out, 5000), samples);
    BASS_StreamFree(fx);
    BASS_StreamFree(src);
    BASS_StreamFree(out);
}

} // namespace
