// Test fixtures made at test time: WAV files written here, other formats made from them by
// the ffmpeg program. Files live in a fresh temporary folder per test program.
#pragma once

#include "tests/support/Signals.h"
#include "tests/support/Wav.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace corvanel::audio::test {

// The folder of this program's fixtures (created on first use, removed at exit).
std::filesystem::path fixtureDir();

using corvanel::test::Noise;
using corvanel::test::StereoSines;
using corvanel::test::WavSample;

// Writes samples in the sample type asked for into the fixture folder.
std::filesystem::path writeWav(const std::string& name, const std::vector<int16_t>& samples,
                               unsigned chans, uint32_t rate, WavSample type = WavSample::S16);

// Runs ffmpeg on `input` with `args` between input and output; throws if it fails.
std::filesystem::path convert(const std::filesystem::path& input, const std::string& name,
                              const std::string& args);

// Everything a decoding stream gives until its end.
std::vector<int16_t> decodeAll(uint32_t handle, size_t blockBytes = 10000);

// Cycles per second of one channel, from its zero crossings: a frequency estimate for a sine.
double crossingRate(const std::vector<int16_t>& interleaved, unsigned chans, unsigned channel,
                    uint32_t rate);
double rms(const std::vector<int16_t>& interleaved, unsigned chans, unsigned channel);

// Selects SDL's audio driver for the next BASS_Init. With "disk", what the device plays goes
// to a fresh capture file in the fixture folder, whose path is returned (empty otherwise).
std::filesystem::path useAudioDriver(const char* driver);
// The 16-bit samples of a capture file (read once the device has been freed).
std::vector<int16_t> readCapture(const std::filesystem::path& capture);

// Polls until cond holds or a generous limit passes; the caller asserts on the result.
bool waitFor(const std::function<bool()>& cond,
             std::chrono::milliseconds limit = std::chrono::seconds(20));

} // namespace corvanel::audio::test
