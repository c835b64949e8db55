// Turns a channel's 16-bit interleaved blocks into stereo float frames at the device rate
// (mono is doubled, more channels are mixed down). Same rate and stereo: a plain scale by
// 1/32768, so what is heard is sample-exact.
//
// Thread: the audio thread only (one instance per playing channel).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace corvanel::audio {

class Resampler {
  public:
    Resampler(uint32_t srcRate, uint32_t srcChans, uint32_t dstRate);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Most frames convert() can give for `frames` input frames.
    size_t maxOutFrames(size_t frames) const;
    // Converts `frames` input frames; returns the stereo frames written to out.
    size_t convert(const int16_t* in, size_t frames, float* out, size_t outCapacity);
    // Drops what a resampler holds back (after a seek or a stop).
    void reset();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace corvanel::audio
