// Counters of the playback engine, for measurements and tests. Any thread.
//
// underruns: device callbacks in which a playing channel that had started to sound and whose
// source had not ended found its playback buffer short (a stalled push stream counts).
// Times: the device callback's wall time (it never blocks) and the audio thread's CPU time.
#pragma once

#include <cstdint>

namespace corvanel::audio {

struct AudioDiagnostics {
    uint64_t callbacks = 0;
    uint64_t underruns = 0;
    double callbackSeconds = 0.0;
    uint64_t updateCycles = 0;
    double updateCpuSeconds = 0.0;
};

// All zero while no device is open (before BASS_Init, after BASS_Free).
AudioDiagnostics audioDiagnostics();

} // namespace corvanel::audio
