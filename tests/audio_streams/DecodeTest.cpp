// File streams: formats, the openers' refusals, bad input, positions and dead handles.
#include "tests/audio_streams/AudioFixtures.h"
#include "audio/include/DecodeOutcome.h"
#include "audio/include/bass.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

using namespace corvanel::audio::test;
namespace fs = std::filesystem;

namespace {

constexpr DWORD kDecode = BASS_STREAM_DECODE;
constexpr DWORD kUnicodeDecode = BASS_UNICODE | BASS_STREAM_DECODE;

std::u16string utf16(const std::string& utf8) {
    std::u16string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        uint32_t cp = c;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra)
            cp = c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += 1 + extra;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

using Opener = HSTREAM (*)(BOOL, const void*, QWORD, QWORD, DWORD);
HSTREAM openWith(Opener opener, const fs::path& path) {
    const std::u16string text = utf16(path.string());
    return opener(FALSE, text.c_str(), 0, 0, kUnicodeDecode);
}

// --- WAV variants decode to 16-bit at their own rate and channel count ---------------------

struct WavCase {
    const char* name;
    unsigned chans;
    uint32_t rate;
    WavSample type;
};

class WavDecode : public ::testing::TestWithParam<WavCase> {};

TEST_P(WavDecode, GivesTheSamplesBackAt16Bit) {
    const WavCase& c = GetParam();
    const size_t frames = 3000;
    const auto samples = Noise(frames, c.chans, 7);
    const fs::path path = writeWav(std::string(c.name) + ".wav", samples, c.chans, c.rate, c.type);

    const HSTREAM h = openWith(BASS_StreamCreateFile, path);
    ASSERT_NE(h, 0u) << BASS_ErrorGetCode();
    BASS_CHANNELINFO info{};
    ASSERT_TRUE(BASS_ChannelGetInfo(h, &info));
    EXPECT_EQ(info.freq, c.rate);
    EXPECT_EQ(info.chans, c.chans);
    EXPECT_EQ(BASS_ChannelGetLength(h, BASS_POS_BYTE), frames * c.chans * 2);

    const auto decoded = decodeAll(h, 4096);
    ASSERT_EQ(decoded.size(), samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        const int expected = c.type == WavSample::U8 ? (samples[i] >> 8) * 256 : samples[i];
        ASSERT_EQ(decoded[i], expected) << "sample " << i;
    }
    EXPECT_EQ(BASS_ChannelGetData(h, std::vector<char>(64).data(), 64), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ENDED);
    EXPECT_EQ(BASS_ChannelIsActive(h), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_TRUE(BASS_StreamFree(h));
}

INSTANTIATE_TEST_SUITE_P(Variants, WavDecode,
                         ::testing::Values(WavCase{"s16_44k_stereo", 2, 44100, WavSample::S16},
                                           WavCase{"u8_22k_stereo", 2, 22050, WavSample::U8},
                                           WavCase{"s24_48k_stereo", 2, 48000, WavSample::S24},
                                           WavCase{"f32_44k_stereo", 2, 44100, WavSample::F32},
                                           WavCase{"s16_8k_stereo", 2, 8000, WavSample::S16},
                                           WavCase{"s16_192k_stereo", 2, 192000, WavSample::S16},
                                           WavCase{"s16_44k_mono", 1, 44100, WavSample::S16},
                                           WavCase{"s16_48k_6ch", 6, 48000, WavSample::S16}),
                         [](const auto& p) { return std::string(p.param.name); });

// --- Every format, its opener, and the others' refusal ---------------------------------------

enum Accepts { Generic, Aac, Wma };

struct FormatCase {
    const char* name;
    const char* file;
    const char* args;
    Accepts opener;
    bool lossless;
};

class FormatDecode : public ::testing::TestWithParam<FormatCase> {
  protected:
    static fs::path source() {
        static const fs::path p =
            writeWav("sines.wav", StereoSines(44100, 44100, 440, 660), 2, 44100);
        return p;
    }
};

TEST_P(FormatDecode, OnlyItsOpenerDecodesIt) {
    const FormatCase& c = GetParam();
    const fs::path path = convert(source(), c.file, c.args);
    const Opener openers[] = {BASS_StreamCreateFile, BASS_AAC_StreamCreateFile,
                              BASS_WMA_StreamCreateFile};
    for (int k = 0; k < 3; ++k) {
        if (k == c.opener)
            continue;
        EXPECT_EQ(openWith(openers[k], path), 0u) << "opener " << k;
        const int code = BASS_ErrorGetCode();
        EXPECT_TRUE(code == BASS_ERROR_FILEFORM || code == BASS_ERROR_CODEC) << code;
    }

    const HSTREAM h = openWith(openers[c.opener], path);
    ASSERT_NE(h, 0u) << BASS_ErrorGetCode();
    BASS_CHANNELINFO info{};
    ASSERT_TRUE(BASS_ChannelGetInfo(h, &info));
    EXPECT_EQ(info.chans, 2u);
    const auto decoded = decodeAll(h);
    const auto reference = StereoSines(44100, 44100, 440, 660);
    if (c.lossless) {
        EXPECT_EQ(decoded, reference);
    } else {
        const size_t frames = decoded.size() / 2;
        EXPECT_NEAR(static_cast<double>(frames) / info.freq, 1.0, 0.06);
        EXPECT_NEAR(crossingRate(decoded, 2, 0, info.freq), 440.0, 440 * 0.03);
        EXPECT_NEAR(crossingRate(decoded, 2, 1, info.freq), 660.0, 660 * 0.03);
        EXPECT_NEAR(rms(decoded, 2, 0), rms(reference, 2, 0), rms(reference, 2, 0) * 0.1);
    }
    BASS_StreamFree(h);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatDecode,
    ::testing::Values(FormatCase{"aiff", "f.aiff", "", Generic, true},
                      FormatCase{"flac", "f.flac", "", Generic, true},
                      FormatCase{"mp3", "f.mp3", "-c:a libmp3lame -b:a 128k", Generic, false},
                      FormatCase{"mp2", "f.mp2", "-c:a mp2 -b:a 192k", Generic, false},
                      FormatCase{"vorbis", "f.ogg", "-c:a libvorbis -q:a 4", Generic, false},
                      FormatCase{"opus", "f.opus", "-c:a libopus -b:a 96k", Generic, false},
                      FormatCase{"adts", "f.aac", "-c:a aac -b:a 128k", Aac, false},
                      FormatCase{"m4a", "f.m4a", "-c:a aac -b:a 128k", Aac, false},
                      FormatCase{"mp4", "f.mp4", "-c:a aac -b:a 128k", Aac, false},
                      FormatCase{"wma", "f.wma", "-c:a wmav2 -b:a 128k", Wma, false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Openers, AContainerWithAnotherCodecIsRefusedByCodec) {
    // ALAC in an M4A: the container is the AAC opener's, the codec is not.
    const fs::path wav = writeWav("short.wav", StereoSines(4410, 44100, 440, 660), 2, 44100);
    const fs::path alac = convert(wav, "alac.m4a", "-c:a alac");
    EXPECT_EQ(openWith(BASS_AAC_StreamCreateFile, alac), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_CODEC);
}

// --- Bad input -----------------------------------------------------------------------------

struct BadCase {
    const char* name;
    fs::path (*make)();
    int error;
};

fs::path emptyFile() {
    const fs::path p = fixtureDir() / "empty.wav";
    std::ofstream(p, std::ios::binary).flush();
    return p;
}
fs::path randomAs(const char* name) {
    const fs::path p = fixtureDir() / name;
    const auto bytes = Noise(20000, 1, 99);
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 40000);
    return p;
}
fs::path randomWav() {
    return randomAs("random.wav");
}
fs::path randomMp3() {
    return randomAs("random.mp3");
}
fs::path directory() {
    const fs::path p = fixtureDir() / "folder.wav";
    fs::create_directories(p);
    return p;
}
fs::path missing() {
    return fixtureDir() / "no such file.wav";
}

class BadInput : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadInput, EveryOpenerRefusesWithACode) {
    const fs::path path = GetParam().make();
    for (Opener opener :
         {BASS_StreamCreateFile, BASS_AAC_StreamCreateFile, BASS_WMA_StreamCreateFile}) {
        EXPECT_EQ(openWith(opener, path), 0u);
        const int code = BASS_ErrorGetCode();
        if (opener == BASS_StreamCreateFile)
            EXPECT_EQ(code, GetParam().error);
        else
            EXPECT_NE(code, BASS_OK);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, BadInput,
                         ::testing::Values(BadCase{"zero_bytes", emptyFile, BASS_ERROR_FILEFORM},
                                           BadCase{"random_wav", randomWav, BASS_ERROR_FILEFORM},
                                           BadCase{"random_mp3", randomMp3, BASS_ERROR_FILEFORM},
                                           BadCase{"directory", directory, BASS_ERROR_FILEOPEN},
                                           BadCase{"missing", missing, BASS_ERROR_FILEOPEN}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(BadArguments, AreRefused) {
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, nullptr, 0, 0, kDecode), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    const std::string wav = writeWav("args.wav", Noise(100, 2), 2, 44100).string();
    EXPECT_EQ(BASS_StreamCreateFile(TRUE, wav.c_str(), 0, 0, kDecode), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, wav.c_str(), 0, 0, kDecode | BASS_SAMPLE_FLOAT), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
    const char16_t unpaired[] = {u'a', 0xD800, 0};
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, unpaired, 0, 0, kUnicodeDecode), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
}

// Truncated files decode what is there, then end; the length then matches what was decoded.
struct TruncCase {
    const char* name;
    const char* file;
    const char* args;
};
class Truncated : public ::testing::TestWithParam<TruncCase> {};

TEST_P(Truncated, DecodesWhatIsThereThenEnds) {
    const fs::path wav = writeWav(std::string("full_") + GetParam().name + ".wav",
                                  StereoSines(44100, 44100, 440, 660), 2, 44100);
    const fs::path full = *GetParam().args ? convert(wav, GetParam().file, GetParam().args) : wav;
    const auto size = fs::file_size(full);
    const fs::path cut = fixtureDir() / (std::string("cut_") + GetParam().file);
    fs::copy_file(full, cut, fs::copy_options::overwrite_existing);
    fs::resize_file(cut, size * 55 / 100);

    const HSTREAM h = openWith(BASS_StreamCreateFile, cut);
    ASSERT_NE(h, 0u) << BASS_ErrorGetCode();
    const auto decoded = decodeAll(h);
    const double seconds = static_cast<double>(decoded.size()) / 2 / 44100;
    EXPECT_GT(seconds, 0.4);
    EXPECT_LT(seconds, 0.7);
    EXPECT_EQ(BASS_ChannelGetLength(h, BASS_POS_BYTE), decoded.size() * 2);
    EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), decoded.size() * 2);
    BASS_StreamFree(h);
}

INSTANTIATE_TEST_SUITE_P(Files, Truncated,
                         ::testing::Values(TruncCase{"wav", "t.wav", ""},
                                           TruncCase{"mp3", "t.mp3", "-c:a libmp3lame"}),
                         [](const auto& p) { return std::string(p.param.name); });

// Damage that ends the data early is told apart from the end of the file.
TEST(Damage, DecodingStoppedByDamageIsReported) {
    const fs::path wav = writeWav("long.wav", Noise(44100 * 12, 2), 2, 44100);
    const fs::path whole = convert(wav, "whole.ogg", "-c:a libvorbis -q:a 5");
    const fs::path damaged = fixtureDir() / "damaged.ogg";
    fs::copy_file(whole, damaged, fs::copy_options::overwrite_existing);
    {
        // Longer than the demuxer searches for its next page.
        std::fstream f(damaged, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(fs::file_size(whole) / 3));
        const std::string zeros(100000, '\0');
        f.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    }
    for (const auto& [path, early] : {std::pair{whole, false}, std::pair{damaged, true}}) {
        SCOPED_TRACE(path.filename().string());
        const HSTREAM h = openWith(BASS_StreamCreateFile, path);
        ASSERT_NE(h, 0u) << BASS_ErrorGetCode();
        EXPECT_FALSE(corvanel::audio::decodeStoppedEarly(h)) << "not before the end";
        const auto decoded = decodeAll(h);
        const double seconds = static_cast<double>(decoded.size()) / 2 / 44100;
        EXPECT_EQ(corvanel::audio::decodeStoppedEarly(h), early);
        EXPECT_NEAR(seconds, early ? 4.0 : 12.0, early ? 1.5 : 0.01);
        ASSERT_TRUE(BASS_ChannelSetPosition(h, 0, BASS_POS_BYTE));
        EXPECT_FALSE(corvanel::audio::decodeStoppedEarly(h)) << "a seek starts afresh";
        BASS_StreamFree(h);
    }
}

TEST(Paths, SpacesQuotesAndJapaneseOpenAsUtf16AndAsNarrowText) {
    const auto samples = Noise(500, 2, 3);
    const fs::path plain = writeWav("plain.wav", samples, 2, 44100);
    const fs::path dir = fixtureDir() / "フォルダ 'a' \"b\"";
    fs::create_directories(dir);
    const fs::path odd = dir / "曲 名 \"引用\" 'x'.wav";
    fs::copy_file(plain, odd);

    const HSTREAM wide = openWith(BASS_StreamCreateFile, odd);
    ASSERT_NE(wide, 0u) << BASS_ErrorGetCode();
    EXPECT_EQ(decodeAll(wide), samples);
    const HSTREAM narrow = BASS_StreamCreateFile(FALSE, odd.string().c_str(), 0, 0, kDecode);
    ASSERT_NE(narrow, 0u) << BASS_ErrorGetCode();
    EXPECT_EQ(decodeAll(narrow), samples);
    BASS_StreamFree(wide);
    BASS_StreamFree(narrow);
}

// --- Positions ------------------------------------------------------------------------------

TEST(Positions, SeekingAWavIsSampleExact) {
    const auto samples = Noise(20000, 2, 11);
    const HSTREAM h = openWith(BASS_StreamCreateFile, writeWav("seek.wav", samples, 2, 44100));
    ASSERT_NE(h, 0u);
    for (size_t frame : {12345u, 0u, 19999u, 777u}) {
        ASSERT_TRUE(BASS_ChannelSetPosition(h, frame * 4, BASS_POS_BYTE));
        EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), frame * 4);
        int16_t got[2] = {};
        ASSERT_EQ(BASS_ChannelGetData(h, got, 4), 4u);
        EXPECT_EQ(got[0], samples[frame * 2]);
        EXPECT_EQ(got[1], samples[frame * 2 + 1]);
        EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), frame * 4 + 4);
    }
    // Seeking back after the end starts over.
    decodeAll(h);
    ASSERT_TRUE(BASS_ChannelSetPosition(h, 0, BASS_POS_BYTE));
    EXPECT_EQ(decodeAll(h), samples);
    EXPECT_FALSE(BASS_ChannelSetPosition(h, 20001 * 4, BASS_POS_BYTE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_POSITION);
    BASS_StreamFree(h);
}

TEST(Positions, SeekingAnMp3LandsNearTheTime) {
    const fs::path wav = writeWav("seekmp3.wav", StereoSines(88200, 44100, 440, 660), 2, 44100);
    const HSTREAM h = openWith(BASS_StreamCreateFile, convert(wav, "seek.mp3", "-c:a libmp3lame"));
    ASSERT_NE(h, 0u);
    const QWORD target = BASS_ChannelSeconds2Bytes(h, 1.5);
    ASSERT_TRUE(BASS_ChannelSetPosition(h, target, BASS_POS_BYTE));
    const auto rest = decodeAll(h);
    EXPECT_NEAR(static_cast<double>(rest.size()) / 2 / 44100, 0.5, 0.03);
    BASS_StreamFree(h);
}

TEST(Positions, BytesAndSecondsConvertByTheChannelsFormat) {
    const HSTREAM h = openWith(BASS_StreamCreateFile,
                               writeWav("conv.wav", Noise(100, 1), 1, 8000, WavSample::S16));
    ASSERT_NE(h, 0u);
    EXPECT_DOUBLE_EQ(BASS_ChannelBytes2Seconds(h, 16000), 1.0);
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(h, 0.5), 8000u);
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(h, 0.00006), 0u); // 0.48 frames rounds to 0
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(h, -1.0), static_cast<QWORD>(-1));
    BASS_StreamFree(h);
}

// --- Dead handles ---------------------------------------------------------------------------

TEST(Handles, CallsOnZeroOrAFreedHandleFailWithoutEffect) {
    const HSTREAM freed =
        openWith(BASS_StreamCreateFile, writeWav("dead.wav", Noise(100, 2), 2, 44100));
    ASSERT_NE(freed, 0u);
    ASSERT_TRUE(BASS_StreamFree(freed));
    for (DWORD h : {0u, freed}) {
        char buf[16];
        float value = 0;
        BASS_CHANNELINFO info{};
        EXPECT_FALSE(BASS_StreamFree(h));
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
        EXPECT_FALSE(BASS_ChannelPlay(h, TRUE));
        EXPECT_FALSE(BASS_ChannelPause(h));
        EXPECT_FALSE(BASS_ChannelStop(h));
        EXPECT_EQ(BASS_ChannelIsActive(h), 0u);
        EXPECT_FALSE(BASS_ChannelSetAttribute(h, BASS_ATTRIB_VOL, 0.5f));
        EXPECT_FALSE(BASS_ChannelGetAttribute(h, BASS_ATTRIB_VOL, &value));
        EXPECT_FALSE(BASS_ChannelGetInfo(h, &info));
        EXPECT_EQ(BASS_ChannelGetLength(h, BASS_POS_BYTE), static_cast<QWORD>(-1));
        EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), static_cast<QWORD>(-1));
        EXPECT_FALSE(BASS_ChannelSetPosition(h, 0, BASS_POS_BYTE));
        EXPECT_LT(BASS_ChannelBytes2Seconds(h, 100), 0.0);
        EXPECT_EQ(BASS_ChannelSeconds2Bytes(h, 1.0), static_cast<QWORD>(-1));
        EXPECT_EQ(BASS_ChannelGetData(h, buf, 16), static_cast<DWORD>(-1));
        EXPECT_EQ(BASS_StreamPutData(h, buf, 16), static_cast<DWORD>(-1));
        EXPECT_EQ(BASS_ChannelSetDSP(
                      h, [](HDSP, DWORD, void*, DWORD, void*) {}, nullptr, 0),
                  0u);
        EXPECT_EQ(BASS_FX_TempoCreate(h, BASS_STREAM_DECODE), 0u);
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    }
}

TEST(Config, OptionsTakeTheirRangeAndVersionsAnswer) {
    EXPECT_TRUE(BASS_SetConfig(BASS_CONFIG_BUFFER, 1100));
    EXPECT_EQ(BASS_GetConfig(BASS_CONFIG_BUFFER), 1100u);
    EXPECT_TRUE(BASS_SetConfig(BASS_CONFIG_ENCODE_QUEUE, 0));
    EXPECT_FALSE(BASS_SetConfig(BASS_CONFIG_BUFFER, 0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_FALSE(BASS_SetConfig(0x7777, 1));
    EXPECT_EQ(BASS_GetConfig(BASS_CONFIG_BUFFER), 1100u);
    EXPECT_EQ(BASS_FX_GetVersion(), CORVANEL_AUDIO_VERSION);
    EXPECT_EQ(BASS_Mixer_GetVersion(), CORVANEL_AUDIO_VERSION);
}

} // namespace
