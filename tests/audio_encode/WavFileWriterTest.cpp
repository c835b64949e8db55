#include "audio/encode/WavFileWriter.h"
#include "tests/audio_encode/TestSupport.h"
#include "audio/encode/EncodeQueue.h"
#include "audio/encode/Outputs.h"

#include <sndfile.h>

#include <gtest/gtest.h>

namespace corvanel::audio::encode {
namespace {

using test::TempFolder;

// Little-endian 16-bit interleaved samples covering the extremes.
std::vector<std::byte> samples(std::size_t frames, int channels) {
    std::vector<std::byte> out;
    for (std::size_t f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            const auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(
                (f * 977 + static_cast<std::size_t>(c) * 13331) % 65536 - 32768));
            out.push_back(static_cast<std::byte>(v & 0xFF));
            out.push_back(static_cast<std::byte>(v >> 8));
        }
    }
    return out;
}

struct ReadBack {
    SF_INFO info{};
    std::vector<std::byte> bytes;
};

ReadBack readWav(const std::filesystem::path& path) {
    ReadBack r;
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &r.info);
    if (f == nullptr)
        return r;
    std::vector<short> s(static_cast<std::size_t>(r.info.frames * r.info.channels));
    sf_readf_short(f, s.data(), r.info.frames);
    sf_close(f);
    for (short v : s) {
        const auto u = static_cast<std::uint16_t>(v);
        r.bytes.push_back(static_cast<std::byte>(u & 0xFF));
        r.bytes.push_back(static_cast<std::byte>(u >> 8));
    }
    return r;
}

struct WavCase {
    int rate;
    int channels;
    std::size_t frames;
    std::size_t chunk; // bytes per write; odd sizes split frames
};

class WavExport : public ::testing::TestWithParam<WavCase> {};

TEST_P(WavExport, FileReadsBackAsWritten) {
    const WavCase& c = GetParam();
    TempFolder dir;
    const auto path = dir / "out.wav";
    EncodeResult started;
    auto out = createFileOutput(path, c.rate, c.channels, WavFileWriter::Container::Wave, started);
    ASSERT_TRUE(out) << started.detail;
    EncodeQueue queue(std::move(out), EncodeQueue::Mode::Queued);
    const auto data = samples(c.frames, c.channels);
    for (std::size_t i = 0; i < data.size(); i += c.chunk)
        queue.write(data.data() + i, std::min(c.chunk, data.size() - i));
    ASSERT_TRUE(queue.finish().ok());

    const ReadBack r = readWav(path);
    EXPECT_EQ(r.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(r.info.samplerate, c.rate);
    EXPECT_EQ(r.info.channels, c.channels);
    EXPECT_EQ(r.info.frames, static_cast<sf_count_t>(c.frames));
    EXPECT_EQ(r.bytes, data);
}

INSTANTIATE_TEST_SUITE_P(Cases, WavExport,
                         ::testing::Values(WavCase{44100, 2, 44100, 88200},
                                           WavCase{22050, 2, 10001, 4097},
                                           WavCase{48000, 1, 3000, 3}, WavCase{8000, 2, 0, 1}),
                         [](const auto& row) {
                             const WavCase& c = row.param;
                             return std::to_string(c.rate) + "Hz_" +
                                    (c.channels == 1 ? "Mono_" : "Stereo_") +
                                    std::to_string(c.frames) + "Frames_InWritesOf" +
                                    std::to_string(c.chunk);
                         });

TEST(WavFileWriter, TrailingPartialFrameIsDropped) {
    TempFolder dir;
    std::string err;
    auto w = WavFileWriter::create(dir / "p.wav", 44100, 2, WavFileWriter::Container::Wave, err);
    const auto data = samples(10, 2);
    ASSERT_TRUE(w.write({data.data(), data.size() - 1}, err)) << err;
    ASSERT_TRUE(w.close(err)) << err;
    EXPECT_EQ(readWav(dir / "p.wav").info.frames, 9);
}

TEST(WavFileWriter, RawContainerHasNoHeader) {
    TempFolder dir;
    std::string err;
    auto w = WavFileWriter::create(dir / "r.pcm", 44100, 2, WavFileWriter::Container::Raw, err);
    const auto data = samples(100, 2);
    ASSERT_TRUE(w.write(data, err));
    ASSERT_TRUE(w.close(err));
    const std::string got = test::ReadFile(dir / "r.pcm");
    EXPECT_EQ(got, std::string(reinterpret_cast<const char*>(data.data()), data.size()));
}

TEST(WavFileWriter, AbandonedWriterLeavesAValidShorterFile) {
    TempFolder dir;
    const auto data = samples(5000, 2);
    {
        std::string err;
        auto w =
            WavFileWriter::create(dir / "a.wav", 44100, 2, WavFileWriter::Container::Wave, err);
        ASSERT_TRUE(w.write({data.data(), 4000}, err));
    } // destroyed mid-export
    const ReadBack r = readWav(dir / "a.wav");
    EXPECT_EQ(r.info.frames, 1000);
    EXPECT_EQ(r.bytes, std::vector<std::byte>(data.begin(), data.begin() + 4000));
}

struct CreateFailure {
    const char* name;
    std::string (*path)(const TempFolder&);
};

class WavCreateFailure : public ::testing::TestWithParam<CreateFailure> {};

TEST_P(WavCreateFailure, IsReported) {
    TempFolder dir;
    EncodeResult r;
    EXPECT_FALSE(
        createFileOutput(GetParam().path(dir), 44100, 2, WavFileWriter::Container::Wave, r));
    EXPECT_EQ(r.fault, EncodeFault::CannotCreate);
    EXPECT_FALSE(r.detail.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WavCreateFailure,
    ::testing::Values(
        CreateFailure{"MissingFolder",
                      [](const TempFolder& d) { return (d / "no" / "such" / "x.wav").string(); }},
        CreateFailure{"PathIsAFolder", [](const TempFolder& d) { return d.Path().string(); }},
        CreateFailure{"FolderIsAFile",
                      [](const TempFolder& d) {
                          test::writeScript(d / "file", "");
                          return (d / "file" / "x.wav").string();
                      }}),
    [](const auto& tpi) { return std::string(tpi.param.name); });

TEST(WavFileWriter, DiskFullIsReported) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    EncodeResult started;
    auto out = createFileOutput("/dev/full", 44100, 2, WavFileWriter::Container::Wave, started);
    if (!out) {
        // Failing already at the header is a correct report too.
        EXPECT_EQ(started.fault, EncodeFault::CannotCreate);
        return;
    }
    EncodeQueue queue(std::move(out), EncodeQueue::Mode::Queued);
    const auto data = samples(44100, 2);
    queue.write(data.data(), data.size());
    const EncodeResult r = queue.finish();
    EXPECT_EQ(r.fault, EncodeFault::WriteFailed) << r.detail;
}

} // namespace
} // namespace corvanel::audio::encode
