// The program's one reduction processor and the names the rest of the program knows it by:
// the DSP routine ReduceProc and its queues SoundQueue, HistoryQueue and TailQueue. It reads
// the program's parameters (VR, ReduceParams.h).
//
// Threads: ReduceProc runs on the audio thread (attached to the tempo stream) or, for an
// export, on the UI thread while no audio-thread call can run. The queues may be emptied
// directly only while no call can run; otherwise use the processor's Request* functions or
// ChangeFrameSize. The program wires the sinks at start-up, before the first call.
#pragma once

#include "base/AudioThread.h"
#include "dsp/ReduceProcessor.h"

#include <cstdint>

namespace corvanel {

// Created on first use and kept until the process ends (after the audio library is freed).
ReduceProcessor& TheReduceProcessor();

extern TMemoryQueue& SoundQueue;
extern TMemoryQueue& HistoryQueue;
extern TMemoryQueue& TailQueue;

// The audio library's DSP callback form. A non-zero handle sends the output to the playback
// sink, 0 to the encoder sink. channel and user (always SoundQueue) are not read.
CORVANEL_AUDIO_THREAD void ReduceProc(std::uint32_t handle, std::uint32_t channel, void* buffer,
                                      std::uint32_t length, void* user) noexcept;

} // namespace corvanel
