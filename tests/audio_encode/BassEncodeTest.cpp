#include "tests/audio_encode/TestSupport.h"
#include "audio/include/bass.h"
#include "audio/include/EncodeFailure.h"

#include <sndfile.h>

#include <gtest/gtest.h>

namespace corvanel::audio {
namespace {

using test::TempFolder;

constexpr DWORD kWavFlags = 0x80040240;     // PCM file, queued, auto-free, UTF-16
constexpr DWORD kProgramFlags = 0x80040201; // no header, queued, auto-free, UTF-16

std::u16string u16(const std::string& utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        char32_t cp;
        int extra;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if (c < 0xE0) {
            cp = c & 0x1F;
            extra = 1;
        } else if (c < 0xF0) {
            cp = c & 0x0F;
            extra = 2;
        } else {
            cp = c & 0x07;
            extra = 3;
        }
        for (int k = 1; k <= extra; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += 1 + extra;
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string samples(std::size_t frames) {
    std::string s(frames * 4, '\0');
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<char>((i * 131 + i / 977) & 0xFF);
    return s;
}

class BassEncode : public ::testing::Test {
  protected:
    void SetUp() override {
        channel_ = BASS_StreamCreate(44100, 2, BASS_STREAM_DECODE, STREAMPROC_PUSH, nullptr);
        ASSERT_NE(channel_, 0u) << BASS_ErrorGetCode();
    }
    void TearDown() override { BASS_StreamFree(channel_); }

    HENCODE startProgram(const std::string& commandLine, DWORD flags = kProgramFlags) {
        const std::u16string text = u16(commandLine);
        return BASS_Encode_Start(channel_, text.c_str(), flags, nullptr, nullptr);
    }
    HENCODE startWav(const std::filesystem::path& path) {
        const std::u16string text = u16(path.string());
        return BASS_Encode_Start(channel_, text.c_str(), kWavFlags, nullptr, nullptr);
    }
    // Writes in uneven blocks, as the processor's output arrives.
    static void writeAll(HENCODE enc, const std::string& data) {
        for (std::size_t i = 0, n = 1; i < data.size(); i += n, n = n * 3 + 7)
            ASSERT_TRUE(BASS_Encode_Write(enc, data.data() + i,
                                          static_cast<DWORD>(std::min(n, data.size() - i))));
    }

    TempFolder dir_;
    HSTREAM channel_ = 0;
};

TEST_F(BassEncode, WavFileHoldsExactlyWhatWasWritten) {
    const auto path = dir_ / "出力 ファイル.wav";
    const HENCODE enc = startWav(path);
    ASSERT_NE(enc, 0u) << BASS_ErrorGetCode() << " " << encode::lastFailureDetail();
    const std::string data = samples(30000);
    writeAll(enc, data);
    ASSERT_TRUE(BASS_Encode_Stop(enc)) << encode::lastFailureDetail();

    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.channels, 2);
    ASSERT_EQ(info.frames, 30000);
    std::string back(data.size(), '\0');
    sf_read_raw(f, back.data(), static_cast<sf_count_t>(back.size()));
    sf_close(f);
    EXPECT_EQ(back, data);
}

TEST_F(BassEncode, ProgramGetsItsArgumentsAndRawSamples) {
    const auto script = dir_ / "my encoder";
    test::writeScript(script, test::recordBody());
    const HENCODE enc =
        startProgram("\"" + script.string() +
                     "\" -r 44100 --tt \"say \"\"hi\"\" $(id)\" --ta \"曲 [Reduced]\" -");
    ASSERT_NE(enc, 0u) << encode::lastFailureDetail();
    const std::string data = samples(100000);
    writeAll(enc, data);
    ASSERT_TRUE(BASS_Encode_Stop(enc)) << encode::lastFailureDetail();
    EXPECT_EQ(test::readRecordedArgs(script),
              (std::vector<std::string>{"-r", "44100", "--tt", "say \"hi\" $(id)", "--ta",
                                        "曲 [Reduced]", "-"}));
    EXPECT_EQ(test::ReadFile(script.string() + ".bytes"), data);
}

TEST_F(BassEncode, NarrowTextAndStreamHeaderWithoutTheFlags) {
    const auto script = dir_ / "enc";
    test::writeScript(script, test::recordBody());
    const std::string cmd = script.string() + " -";
    // Queued, no header flag, narrow text: the program reads a WAV header first.
    const HENCODE enc =
        BASS_Encode_Start(channel_, cmd.c_str(), BASS_ENCODE_QUEUE, nullptr, nullptr);
    ASSERT_NE(enc, 0u) << encode::lastFailureDetail();
    const std::string data = samples(10);
    writeAll(enc, data);
    ASSERT_TRUE(BASS_Encode_Stop(enc));
    const std::string got = test::ReadFile(script.string() + ".bytes");
    ASSERT_EQ(got.size(), 44 + data.size());
    EXPECT_EQ(got.substr(0, 4), "RIFF");
    EXPECT_EQ(got.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(got.substr(36, 4), "data");
    EXPECT_EQ(got.substr(44), data);
}

struct StartFailure {
    const char* name;
    int expected;
};

class BassEncodeStartFailure : public BassEncode,
                               public ::testing::WithParamInterface<StartFailure> {};

TEST_P(BassEncodeStartFailure, GivesZeroAndTheErrorCode) {
    const std::string name = GetParam().name;
    HENCODE enc = 1;
    if (name == "ProgramMissing") {
        enc = startProgram("\"" + (dir_ / "addon.win" / "lame").string() + "\" -");
    } else if (name == "EmptyCommandLine") {
        enc = startProgram("   ");
    } else if (name == "OutputFolderMissing") {
        enc = startWav(dir_ / "gone" / "x.wav");
    } else if (name == "OutputIsAFolder") {
        enc = startWav(dir_.Path());
    } else if (name == "ZeroHandle") {
        enc = BASS_Encode_Start(0, u"x.wav", kWavFlags, nullptr, nullptr);
    } else if (name == "FreedChannel") {
        BASS_StreamFree(channel_);
        enc = startWav(dir_ / "x.wav");
    } else if (name == "UnknownFlag") {
        enc = BASS_Encode_Start(channel_, u"x.wav", kWavFlags | 0x100000, nullptr, nullptr);
    } else if (name == "NullText") {
        enc = BASS_Encode_Start(channel_, nullptr, kWavFlags, nullptr, nullptr);
    }
    EXPECT_EQ(enc, 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), GetParam().expected);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "x.wav"));
}

INSTANTIATE_TEST_SUITE_P(Cases, BassEncodeStartFailure,
                         ::testing::Values(StartFailure{"ProgramMissing", BASS_ERROR_CREATE},
                                           StartFailure{"EmptyCommandLine", BASS_ERROR_ILLPARAM},
                                           StartFailure{"OutputFolderMissing", BASS_ERROR_CREATE},
                                           StartFailure{"OutputIsAFolder", BASS_ERROR_CREATE},
                                           StartFailure{"ZeroHandle", BASS_ERROR_HANDLE},
                                           StartFailure{"FreedChannel", BASS_ERROR_HANDLE},
                                           StartFailure{"UnknownFlag", BASS_ERROR_ILLPARAM},
                                           StartFailure{"NullText", BASS_ERROR_ILLPARAM}),
                         [](const auto& tpi) { return std::string(tpi.param.name); });

struct StopFailure {
    const char* name;
    const char* body;
};

class BassEncodeStopFailure : public BassEncode,
                              public ::testing::WithParamInterface<StopFailure> {};

TEST_P(BassEncodeStopFailure, StopReportsIt) {
    const auto script = dir_ / "enc";
    test::writeScript(script, GetParam().body);
    const HENCODE enc = startProgram("\"" + script.string() + "\"");
    ASSERT_NE(enc, 0u);
    const std::string data = samples(500000); // 2 MB, more than a pipe holds
    BASS_Encode_Write(enc, data.data(), static_cast<DWORD>(data.size()));
    EXPECT_FALSE(BASS_Encode_Stop(enc));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ENDED);
    EXPECT_FALSE(encode::lastFailureDetail().empty());
    EXPECT_FALSE(BASS_Encode_Stop(enc)) << "the handle is gone after a stop";
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

INSTANTIATE_TEST_SUITE_P(Cases, BassEncodeStopFailure,
                         ::testing::Values(StopFailure{"ExitsNonZero", "cat > /dev/null; exit 1"},
                                           StopFailure{"ClosesInputEarly",
                                                       "head -c 100 > /dev/null; exit 0"},
                                           StopFailure{"Crashes", "kill -SEGV $$"}),
                         [](const auto& tpi) { return std::string(tpi.param.name); });

TEST_F(BassEncode, DiskFullIsReported) {
    const HENCODE enc = startWav("/dev/full");
    if (enc == 0) {
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_CREATE);
        return;
    }
    const std::string data = samples(44100);
    BASS_Encode_Write(enc, data.data(), static_cast<DWORD>(data.size()));
    EXPECT_FALSE(BASS_Encode_Stop(enc));
    EXPECT_NE(BASS_ErrorGetCode(), BASS_OK);
}

TEST_F(BassEncode, CallsOnBadHandlesFailWithoutEffect) {
    const char byte = 0;
    EXPECT_FALSE(BASS_Encode_Write(0, &byte, 1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_Encode_Write(channel_, &byte, 1)) << "a channel is not an encoder";
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_Encode_Stop(0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);

    const HENCODE enc = startWav(dir_ / "a.wav");
    ASSERT_NE(enc, 0u);
    ASSERT_TRUE(BASS_Encode_Stop(enc));
    EXPECT_FALSE(BASS_Encode_Write(enc, &byte, 1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(BassEncode, FreeingTheChannelFinishesItsEncoders) {
    const auto script = dir_ / "enc";
    test::writeScript(script, test::recordBody());
    const HENCODE prog = startProgram("\"" + script.string() + "\"");
    const HENCODE wav = startWav(dir_ / "a.wav");
    ASSERT_NE(prog, 0u);
    ASSERT_NE(wav, 0u);
    const std::string data = samples(5000);
    writeAll(prog, data);
    writeAll(wav, data);
    ASSERT_TRUE(BASS_StreamFree(channel_));

    EXPECT_EQ(test::ReadFile(script.string() + ".bytes"), data) << "program fed and reaped";
    SF_INFO info{};
    SNDFILE* f = sf_open((dir_ / "a.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    sf_close(f);
    EXPECT_EQ(info.frames, 5000);
    EXPECT_FALSE(BASS_Encode_Write(wav, data.data(), 4));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(BassEncode, WhatTheChannelDecodesIsEncodedToo) {
    const auto path = dir_ / "fed.wav";
    const HENCODE enc = startWav(path);
    ASSERT_NE(enc, 0u);
    const std::string data = samples(2000);
    ASSERT_EQ(BASS_StreamPutData(channel_, data.data(), static_cast<DWORD>(data.size())),
              data.size());
    std::string pulled(data.size(), '\0');
    ASSERT_EQ(BASS_ChannelGetData(channel_, pulled.data(), static_cast<DWORD>(pulled.size())),
              data.size());
    ASSERT_TRUE(BASS_Encode_Stop(enc));

    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    std::string back(data.size(), '\0');
    EXPECT_EQ(sf_read_raw(f, back.data(), static_cast<sf_count_t>(back.size())),
              static_cast<sf_count_t>(data.size()));
    sf_close(f);
    EXPECT_EQ(back, data);
}

} // namespace
} // namespace corvanel::audio
