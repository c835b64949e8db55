// What the device callback sees of one playing channel: its playback buffer (stereo float
// frames at the device rate, after DSP routines and resampling), its volume and its state.
//
// Written by the UI thread (volume, audible) and the audio thread (ring, sourceEnded);
// read by the SDL device callback, which never blocks on any of it.
#pragma once

#include "audio/internal/SpscRing.h"

#include <atomic>
#include <cstdint>

namespace corvanel::audio {

struct Voice {
    explicit Voice(size_t capacityFrames) : ring(capacityFrames * 2) {}

    SpscRing ring;                        // interleaved left/right
    std::atomic<float> volume{1.0f};      // linear gain
    std::atomic<bool> audible{false};     // playing: neither stopped nor paused
    std::atomic<bool> primed{false};      // has delivered audio since it was last started
    std::atomic<bool> sourceEnded{false}; // nothing more will be rendered
    std::atomic<uint64_t> playedFrames{0};
};

} // namespace corvanel::audio
