// Generated stereo test material for the reduction processor's tests and benchmark.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace corvanel::reducetest {

using Pcm = std::vector<std::uint8_t>;

inline std::int16_t ToSample(double x) {
    const double v = std::nearbyint(x * 32768.0);
    return static_cast<std::int16_t>(v > 32767 ? 32767 : (v < -32768 ? -32768 : v));
}

// Interleaves two channels of values in -1 .. 1 into 16-bit little-endian stereo PCM.
inline Pcm Interleave(const std::vector<double>& left, const std::vector<double>& right) {
    Pcm pcm(left.size() * 4);
    for (std::size_t i = 0; i < left.size(); ++i) {
        const std::int16_t s[2] = {ToSample(left[i]), ToSample(right[i])};
        std::memcpy(&pcm[4 * i], s, 4);
    }
    return pcm;
}

inline std::int16_t SampleAt(const Pcm& pcm, std::size_t pair, int channel) {
    std::int16_t s;
    std::memcpy(&s, &pcm[4 * pair + 2 * static_cast<std::size_t>(channel)], 2);
    return s;
}

// Music-like stereo: a centred voice-like part (a tone with vibrato and its harmonics over
// band-passed noise) over two partly correlated coloured noises. With holdPairs 2 every
// sample is repeated once, which leaves no component at half the sampling rate in any frame
// that starts on an even pair.
inline Pcm MusicLike(std::size_t pairs, unsigned seed, int holdPairs = 1) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    std::vector<double> left(pairs), right(pairs);
    double lowC = 0, lowL = 0, lowR = 0, bandC = 0, phase = 0;
    double heldL = 0, heldR = 0;
    for (std::size_t t = 0; t < pairs; ++t) {
        if (t % static_cast<std::size_t>(holdPairs) == 0) {
            const double common = gauss(rng);
            lowC += 0.02 * (common - lowC);
            bandC = 0.9 * bandC + common - lowC;
            lowL += 0.05 * (gauss(rng) - lowL);
            lowR += 0.05 * (gauss(rng) - lowR);
            const double tt = static_cast<double>(t) / 44100.0;
            phase += 6.283185307179586 * 220.0 *
                     (1.0 + 0.01 * std::sin(6.283185307179586 * 5.0 * tt)) * holdPairs / 44100.0;
            const double voice = 0.18 * std::sin(phase) + 0.08 * std::sin(2 * phase + 0.3) +
                                 0.05 * std::sin(3 * phase + 1.1) + 0.02 * bandC;
            const double side = 0.6 * lowC;
            heldL = voice + side + 0.9 * lowL + 0.3 * lowR;
            heldR = voice + side + 0.9 * lowR + 0.3 * lowL;
        }
        left[t] = heldL;
        right[t] = heldR;
    }
    return Interleave(left, right);
}

} // namespace corvanel::reducetest
