#include "tests/cli/TestFiles.h"

#include "tests/support/Wav.h"

#include <cmath>
#include <vector>

namespace corvanel::cli {

void WriteWav(const std::filesystem::path& file, int channels, int rate, double seconds,
              std::uint32_t seed) {
    const auto frames = static_cast<std::uint32_t>(rate * seconds);
    std::vector<std::int16_t> samples;
    samples.reserve(std::size_t(frames) * static_cast<std::size_t>(channels));
    std::uint32_t state = seed;
    constexpr double kTwoPi = 6.283185307179586;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        state = state * 1664525u + 1013904223u;
        const double noise = (static_cast<double>(state >> 8) / 16777216.0 - 0.5) * 0.2;
        const double centre = 0.4 * std::sin(kTwoPi * (220.0 + 20.0 * seed) * t);
        const double left = centre + 0.2 * std::sin(kTwoPi * 660.0 * t);
        const double right = centre + noise;
        for (int ch = 0; ch < channels; ++ch) {
            const double v = ch % 2 == 0 ? left : right;
            samples.push_back(static_cast<std::int16_t>(std::lrint(v * 32767.0)));
        }
    }
    test::WriteWav(file, samples, channels, rate);
}

} // namespace corvanel::cli
