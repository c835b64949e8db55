#pragma once
// Test signals as interleaved 16-bit samples, the same for the same arguments on every run.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvanel::test {

// The full 16-bit range, so any lost bit shows.
std::vector<std::int16_t> Noise(std::size_t frames, unsigned channels, std::uint32_t seed = 1);

// Left a sine at leftHz, right one at rightHz; amplitude in 16-bit steps.
std::vector<std::int16_t> StereoSines(std::size_t frames, int sampleRate, double leftHz,
                                      double rightHz, double amplitude = 16384.0);

} // namespace corvanel::test
