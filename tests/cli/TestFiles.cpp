#include "tests/cli/TestFiles.h"

#include <cmath>
#include <fstream>
#include <iterator>

namespace corvanel::cli {

void WriteWav(const std::filesystem::path& file, int channels, int rate, double seconds,
              std::uint32_t seed) {
    const auto frames = static_cast<std::uint32_t>(rate * seconds);
    const std::uint32_t dataBytes = frames * static_cast<std::uint32_t>(channels) * 2;
    std::ofstream out(file, std::ios::binary);
    auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(static_cast<std::uint16_t>(channels));
    u32(static_cast<std::uint32_t>(rate));
    u32(static_cast<std::uint32_t>(rate * channels * 2));
    u16(static_cast<std::uint16_t>(channels * 2));
    u16(16);
    out.write("data", 4);
    u32(dataBytes);
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
            u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lrint(v * 32767.0))));
        }
    }
}

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace corvanel::cli
