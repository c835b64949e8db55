// A processor with capturing sinks, and tone material for the reduction tests.
#pragma once

#include "tests/dsp_reduce/MusicSignal.h"
#include "dsp/ReduceProcessor.h"

#include <complex>
#include <numbers>

namespace corvanel::reducetest {

// A processor on its own parameters whose two destinations are recorded.
struct CapturedProcessor {
    ReduceParams params;
    ReduceProcessor processor{params};
    Pcm playback, encoder;
    int playbackCalls = 0, encoderCalls = 0;

    explicit CapturedProcessor(std::int32_t n = 8192, bool enabled = true) {
        params.VRFFTPoint = n;
        params.VREnable = enabled;
        processor.PrepareFrameSize(n); // as the window's frame-size choice does
        processor.SetEncoderPassThroughPause(std::chrono::milliseconds(0));
        processor.SetPlaybackSink([this](const std::uint8_t* d, std::uint32_t len) {
            playback.insert(playback.end(), d, d + len);
            ++playbackCalls;
        });
        processor.SetEncoderSink([this](const std::uint8_t* d, std::uint32_t len) {
            encoder.insert(encoder.end(), d, d + len);
            ++encoderCalls;
        });
    }

    // Hands a copy of the bytes to the processor and returns the block as it came back.
    Pcm Call(const Pcm& block, std::uint32_t handle = 1) {
        Pcm copy = block;
        processor.Process(handle, copy.data(), static_cast<std::uint32_t>(copy.size()));
        return copy;
    }
    void Feed(const Pcm& pcm, std::size_t blockBytes, std::uint32_t handle = 1) {
        for (std::size_t at = 0; at < pcm.size(); at += blockBytes)
            Call(Pcm(pcm.begin() + static_cast<std::ptrdiff_t>(at),
                     pcm.begin() +
                         static_cast<std::ptrdiff_t>(std::min(pcm.size(), at + blockBytes))),
                 handle);
    }
};

// One tone per channel on the centre of bin k of an n-point frame: amplitude (full scale
// 1.0) and phase in degrees for each channel.
struct BinTone {
    int k;
    double ampL, ampR;
    double phaseL = 0, phaseR = 0;
};

inline Pcm Tones(std::size_t pairs, int n, std::initializer_list<BinTone> tones) {
    std::vector<double> left(pairs, 0.0), right(pairs, 0.0);
    for (const BinTone& t : tones) {
        for (std::size_t i = 0; i < pairs; ++i) {
            const double w = 2 * std::numbers::pi * t.k *
                             static_cast<double>(i % static_cast<std::size_t>(n)) / n;
            left[i] += t.ampL * std::cos(w + t.phaseL * std::numbers::pi / 180);
            right[i] += t.ampR * std::cos(w + t.phaseR * std::numbers::pi / 180);
        }
    }
    return Interleave(left, right);
}

// Amplitude (full scale 1.0) of bin k's tone in one channel over n pairs from startPair.
inline double ToneAmplitude(const Pcm& pcm, int channel, std::size_t startPair, int n, int k) {
    std::complex<double> sum = 0;
    for (int i = 0; i < n; ++i) {
        const double w = -2 * std::numbers::pi * k * i / n;
        sum +=
            static_cast<double>(SampleAt(pcm, startPair + static_cast<std::size_t>(i), channel)) *
            std::polar(1.0, w);
    }
    return 2 * std::abs(sum) / n / 32768.0;
}

} // namespace corvanel::reducetest
