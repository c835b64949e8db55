#include "tests/support/Signals.h"

#include <cmath>
#include <random>

namespace corvanel::test {

std::vector<std::int16_t> Noise(std::size_t frames, unsigned channels, std::uint32_t seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> dist(-32768, 32767);
    std::vector<std::int16_t> out(frames * channels);
    for (auto& s : out)
        s = static_cast<std::int16_t>(dist(gen));
    return out;
}

std::vector<std::int16_t> StereoSines(std::size_t frames, int sampleRate, double leftHz,
                                      double rightHz, double amplitude) {
    std::vector<std::int16_t> out(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        out[2 * i] =
            static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * M_PI * leftHz * t)));
        out[2 * i + 1] =
            static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * M_PI * rightHz * t)));
    }
    return out;
}

} // namespace corvanel::test
