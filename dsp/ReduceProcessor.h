// ReduceProcessor: the spectral vocal reducer. It frames a stereo stream into overlapping
// frames of N = VRFFTPoint sample pairs (hop 3N/4), removes per frequency bin the sound at
// the target stereo position, cross-fades each frame into the previous one and sends three
// quarters of every frame on through a sink.
//
// Units: blocks are 16-bit signed little-endian stereo PCM, left first; lengths in bytes;
// N in sample pairs (a frame is 4·N bytes, a quarter N bytes); the source rate in Hz.
// Output runs one quarter frame (N bytes) behind the input.
//
// Threads: Process and ProcessTo run on the audio thread (or, for an export, on the UI
// thread while no audio-thread call can run); they are not re-entrant. The Request*
// functions, ChangeFrameSize and SetSourceRate may be called by the UI thread at any time;
// a requested emptying is done by the next call before it touches a queue, so a frame of an
// old size is never left behind. Sinks and the pass-through pause are set by the UI thread
// while no call can run. The queues have no lock: while calls can run only the calls change
// them (other threads may read their lengths); another thread empties them directly only
// while no call can run, and otherwise through the Request* functions.
#pragma once

#include "base/AudioThread.h"
#include "dsp/MemoryQueue.h"
#include "dsp/PackedFFT.h"
#include "dsp/ReduceParams.h"
#include "dsp/WaveFFT.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace corvanel {

// Receives bytes the processor sends on. Called on the thread that runs the processor.
using ReduceSink = std::function<void(const std::uint8_t* data, std::uint32_t length)>;

class ReduceProcessor {
  public:
    // The parameters must outlive the processor. path: the instruction set of the transform
    // and decision loops (every path gives the same bits; tests and benchmarks choose).
    explicit ReduceProcessor(ReduceParams& params, SimdPath path = BestSimdPath());
    ~ReduceProcessor();
    ReduceProcessor(const ReduceProcessor&) = delete;
    ReduceProcessor& operator=(const ReduceProcessor&) = delete;

    // Handle non-zero: playback destination; handle 0: export destination.
    void SetPlaybackSink(ReduceSink sink) { FPlaybackSink = std::move(sink); }
    void SetEncoderSink(ReduceSink sink) { FEncoderSink = std::move(sink); }
    // Pause after a pass-through block sent to the export destination (default 20 ms), so
    // that an export with the reduction off does not outrun its encoder. 0 turns it off.
    void SetEncoderPassThroughPause(std::chrono::milliseconds pause) { FPassThroughPause = pause; }

    void SetSourceRate(std::uint32_t hz) { FSourceRate.store(hz, std::memory_order_relaxed); }
    std::uint32_t SourceRate() const { return FSourceRate.load(std::memory_order_relaxed); }

    // One block in the DSP callback's form: the block is queued (or passed through when the
    // reduction is off), every complete frame is processed and sent to the sink that handle
    // selects, and the block is overwritten with zeros. Never throws: a failure silences
    // the block and leaves the queues consistent.
    void Process(std::uint32_t handle, void* buffer, std::uint32_t length) noexcept;
    // The same into sink, never pausing. An exception leaves the queues consistent and
    // propagates.
    CORVANEL_AUDIO_THREAD void ProcessTo(const ReduceSink& sink, void* buffer,
                                         std::uint32_t length);

    // DSP-callback adapter for an instance of one's own: user is the ReduceProcessor.
    CORVANEL_AUDIO_THREAD static void DspCallback(std::uint32_t handle, std::uint32_t channel,
                                                  void* buffer, std::uint32_t length,
                                                  void* user) noexcept;

    // Empty all three queues (a new playback) or the overlap queues only (a resumed one)
    // before the next call touches them.
    void RequestEmptyQueues() { FPendingEmpty.fetch_or(kEmptyAll, std::memory_order_release); }
    void RequestEmptyOverlap() { FPendingEmpty.fetch_or(kEmptyOverlap, std::memory_order_release); }
    // A new frame length in sample pairs: its working storage is allocated here (once per
    // length), the three queues are emptied, then VRFFTPoint set.
    void ChangeFrameSize(std::int32_t pairs);
    // Allocates the working storage for a frame length, and the room the three queues need
    // at that length (handed to them by the first call that meets the length), ahead of the
    // audio thread (done by ChangeFrameSize and for the starting VRFFTPoint; a length met
    // without it is allocated by the calls that first need it). Once prepared, a call
    // allocates and frees nothing.
    void PrepareFrameSize(std::int32_t pairs);

    // True for the frame lengths the processor accepts: powers of two from 8 to 2^22.
    // Another VRFFTPoint silences every block and drops the queued input.
    static bool IsValidFrameSize(std::int32_t pairs);

    ReduceParams& Params() { return FParams; }
    TMemoryQueue& SoundQueue() { return FSoundQueue; }
    TMemoryQueue& HistoryQueue() { return FHistoryQueue; }
    TMemoryQueue& TailQueue() { return FTailQueue; }
    TWaveFFT& WaveFFT1() { return FWaveFFT1; }
    TWaveFFT& WaveFFT2() { return FWaveFFT2; }
    TWaveIFFT& WaveIFFT1() { return FWaveIFFT1; }
    TWaveIFFT& WaveIFFT2() { return FWaveIFFT2; }

  private:
    static constexpr std::uint32_t kEmptyOverlap = 1;
    static constexpr std::uint32_t kEmptyAll = 3;
    static constexpr int kSizeSlots = 23; // log2 of the frame lengths accepted

    struct Workspace;

    void Run(const ReduceSink& sink, bool pauseAfterPassThrough, std::uint8_t* block,
             std::uint32_t length);
    void ApplyPendingEmpty();
    Workspace& WorkspaceFor(std::int32_t n);
    void ProcessFrame(Workspace& ws, const ReduceSink& sink);

    ReduceParams& FParams;
    SimdPath FSimdPath;
    TMemoryQueue FSoundQueue, FHistoryQueue, FTailQueue;
    TWaveFFT FWaveFFT1, FWaveFFT2;
    TWaveIFFT FWaveIFFT1, FWaveIFFT2;
    ReduceSink FPlaybackSink, FEncoderSink;
    std::chrono::milliseconds FPassThroughPause{20};
    std::atomic<std::uint32_t> FSourceRate{44100};
    std::atomic<std::uint32_t> FPendingEmpty{0};

    // Audio-thread state. The frame length that the overlap queues hold data of (0: none).
    std::int32_t FQueuedN = 0;
    // Set while a frame has read from the queues but not yet written its tail back.
    bool FFrameOpen = false;
    // Working storage per frame length, created at most once each and kept until the end.
    std::array<std::atomic<Workspace*>, kSizeSlots> FWorkspaces{};
};

} // namespace corvanel
