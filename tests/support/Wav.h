#pragma once
// WAV files made and read by tests, through libsndfile. Samples are given and returned as
// interleaved 16-bit values whatever the file's sample type.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace corvanel::test {

enum class WavSample { U8, S16, S24, F32 };

struct WavTags {
    std::string Title;
    std::string Artist;
};

// 24-bit and float keep the 16-bit values exactly (shifted or scaled), 8-bit keeps the top
// byte. Without tags a 16-bit file has the plain 44-byte header. Throws when it cannot write.
void WriteWav(const std::filesystem::path& file, const std::vector<std::int16_t>& samples,
              int channels, int sampleRate, WavSample type = WavSample::S16,
              const WavTags& tags = {});

struct WavData {
    int SampleRate = 0;
    int Channels = 0;
    std::vector<std::int16_t> Samples;
};
// Empty Samples and rate 0 when the file cannot be opened.
WavData ReadWav(const std::filesystem::path& file);

} // namespace corvanel::test
