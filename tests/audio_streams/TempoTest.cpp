// Tempo streams over a decoding source.
#include "tests/audio_streams/AudioFixtures.h"
#include "audio/include/bass.h"

#include <gtest/gtest.h>

using namespace corvanel::audio::test;
namespace fs = std::filesystem;

namespace {

struct Chain {
    HSTREAM source = 0, tempo = 0;
    explicit Chain(const fs::path& file) {
        source = BASS_StreamCreateFile(FALSE, file.string().c_str(), 0, 0, BASS_STREAM_DECODE);
        tempo = BASS_FX_TempoCreate(source, BASS_STREAM_DECODE);
    }
    ~Chain() {
        BASS_StreamFree(tempo);
        BASS_StreamFree(source);
    }
};

fs::path sines(const char* name, size_t frames = 88200) {
    return writeWav(name, StereoSines(frames, 44100, 440, 660), 2, 44100);
}

TEST(Tempo, AtZeroPassesTheSamplesThroughBitExact) {
    const auto samples = Noise(30000, 2, 5);
    Chain c(writeWav("tempo_exact.wav", samples, 2, 44100));
    ASSERT_NE(c.tempo, 0u) << BASS_ErrorGetCode();
    BASS_CHANNELINFO info{};
    ASSERT_TRUE(BASS_ChannelGetInfo(c.tempo, &info));
    EXPECT_EQ(info.freq, 44100u);
    EXPECT_EQ(info.chans, 2u);
    EXPECT_EQ(decodeAll(c.tempo, 3000), samples);
    EXPECT_EQ(BASS_ChannelGetPosition(c.source, BASS_POS_BYTE), samples.size() * 2);
}

struct Change {
    const char* name;
    float tempo;
    float pitch;
    double lengthFactor;
    double frequencyFactor;
};

class TempoChange : public ::testing::TestWithParam<Change> {};

TEST_P(TempoChange, ScalesLengthAndFrequency) {
    const Change& p = GetParam();
    Chain c(sines((std::string("tc_") + p.name + ".wav").c_str()));
    ASSERT_NE(c.tempo, 0u);
    ASSERT_TRUE(BASS_ChannelSetAttribute(c.tempo, BASS_ATTRIB_TEMPO, p.tempo));
    ASSERT_TRUE(BASS_ChannelSetAttribute(c.tempo, BASS_ATTRIB_TEMPO_PITCH, p.pitch));
    const auto out = decodeAll(c.tempo, 8192);
    const double seconds = static_cast<double>(out.size()) / 2 / 44100;
    EXPECT_NEAR(seconds, 2.0 * p.lengthFactor, 2.0 * p.lengthFactor * 0.03);
    EXPECT_NEAR(crossingRate(out, 2, 0, 44100), 440 * p.frequencyFactor, 440 * 0.04);
    EXPECT_NEAR(crossingRate(out, 2, 1, 44100), 660 * p.frequencyFactor, 660 * 0.04);
}

INSTANTIATE_TEST_SUITE_P(Settings, TempoChange,
                         ::testing::Values(Change{"double_speed", 100, 0, 0.5, 1.0},
                                           Change{"half_speed", -50, 0, 2.0, 1.0},
                                           Change{"octave_up", 0, 12, 1.0, 2.0},
                                           Change{"fifth_down", 0, -7, 1.0, 0.6674},
                                           Change{"both", 20, 2, 1.0 / 1.2, 1.1225}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(Tempo, ChangesWhileDataFlowsAndBackToZeroIsExactAgain) {
    const auto samples = Noise(60000, 2, 8);
    Chain c(writeWav("tempo_flow.wav", samples, 2, 44100));
    std::vector<int16_t> block(2000);
    ASSERT_EQ(BASS_ChannelGetData(c.tempo, block.data(), 4000), 4000u);
    ASSERT_TRUE(BASS_ChannelSetAttribute(c.tempo, BASS_ATTRIB_TEMPO, 30));
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(BASS_ChannelGetData(c.tempo, block.data(), 4000), 4000u);
    ASSERT_TRUE(BASS_ChannelSetAttribute(c.tempo, BASS_ATTRIB_TEMPO, 0));
    // The source position tells where the pass-through resumes; from there it is exact.
    const QWORD at = BASS_ChannelGetPosition(c.source, BASS_POS_BYTE);
    const auto rest = decodeAll(c.tempo);
    // What the processor held back when switched off is dropped; the source then comes through.
    ASSERT_GE(rest.size(), samples.size() - at / 2);
    const std::vector<int16_t> tail(rest.end() - static_cast<long>(samples.size() - at / 2),
                                    rest.end());
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), samples.begin() + static_cast<long>(at / 2)));
}

TEST(Tempo, SeekingTheTempoStreamSeeksItsSource) {
    const auto samples = Noise(20000, 2, 9);
    Chain c(writeWav("tempo_seek.wav", samples, 2, 44100));
    decodeAll(c.tempo);
    EXPECT_EQ(BASS_ChannelIsActive(c.tempo), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    ASSERT_TRUE(BASS_ChannelSetPosition(c.tempo, 0, BASS_POS_BYTE));
    EXPECT_EQ(BASS_ChannelGetPosition(c.source, BASS_POS_BYTE), 0u);
    EXPECT_EQ(decodeAll(c.tempo), samples);
    EXPECT_EQ(BASS_ChannelGetLength(c.tempo, BASS_POS_BYTE), samples.size() * 2);
}

TEST(Tempo, RefusesBadSourcesAndValues) {
    Chain c(sines("tempo_bad.wav", 1000));
    EXPECT_FALSE(BASS_ChannelSetAttribute(c.tempo, BASS_ATTRIB_TEMPO, -99));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_FALSE(BASS_ChannelSetAttribute(c.tempo, BASS_ATTRIB_TEMPO_PITCH, 61));
    EXPECT_FALSE(BASS_ChannelSetAttribute(c.source, BASS_ATTRIB_TEMPO, 10));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE);
    float v = 1;
    EXPECT_TRUE(BASS_ChannelGetAttribute(c.tempo, BASS_ATTRIB_TEMPO, &v));
    EXPECT_EQ(v, 0.0f);
    // A source that is not decoding cannot feed a tempo stream.
    const HSTREAM playable = BASS_StreamCreate(44100, 2, 0, STREAMPROC_PUSH, nullptr);
    EXPECT_EQ(BASS_FX_TempoCreate(playable, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DECODE);
    BASS_StreamFree(playable);
}

TEST(Tempo, EndsWhenItsSourceIsFreed) {
    Chain c(sines("tempo_freed.wav", 20000));
    char block[400];
    ASSERT_EQ(BASS_ChannelGetData(c.tempo, block, 400), 400u);
    ASSERT_TRUE(BASS_StreamFree(c.source));
    EXPECT_EQ(BASS_ChannelGetData(c.tempo, block, 400), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ChannelGetPosition(c.source, BASS_POS_BYTE), static_cast<QWORD>(-1));
}

} // namespace
