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
// while no call can run.
#pragma once

#include "MemoryQueue.h"
#include "ReduceParams.h"
#include "WaveFFT.h"

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
    // The parameters must outlive the processor.
    explicit ReduceProcessor(ReduceParams& params);
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
    void ProcessTo(const ReduceSink& sink, void* buffer, std::uint32_t length);

    // DSP-callback adapter for an instance of one's own: user is the ReduceProcessor.
    static void DspCallback(std::uint32_t handle, std::uint32_t channel, void* buffer,
                            std::uint32_t length, void* user) noexcept;

    // Empty all three queues (a new playback) or the overlap queues only (a resumed one)
    // before the next call touches them.
    void RequestEmptyQueues() { FPendingEmpty.fetch_or(kEmptyAll, std::memory_order_release); }
    void RequestEmptyOverlap() { FPendingEmpty.fetch_or(kEmptyOverlap, std::memory_order_release); }
    // A new frame length in sample pairs: the three queues are emptied, then VRFFTPoint set.
    void ChangeFrameSize(std::int32_t pairs);

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

    struct Workspace;

    void Run(const ReduceSink& sink, bool pauseAfterPassThrough, std::uint8_t* block,
             std::uint32_t length);
    void ApplyPendingEmpty();
    void ProcessFrame(std::int32_t n, Workspace& ws, const ReduceSink& sink);
    void DecideBins(std::int32_t n, Workspace& ws);
    void PrepareFade(std::int32_t n);
    void Weights(double panPot, double& wL, double& wR);
    void LevelWindow(double panPot, double aParam, double& qLo, double& qHi);
    // +1 when the angle of z is certainly below pParam degrees, -1 when certainly not, 0 when
    // too close to tell.
    int PhaseBelow(double zIm, double zRe, double pParam);

    ReduceParams& FParams;
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
    // Cross-fade weights for FFadeN, kept because they depend on N only.
    std::int32_t FFadeN = 0;
    std::vector<double> FFadeOut, FFadeIn;
    // Channel weights for FWeightPan.
    double FWeightPan = 0.0, FWeightL = 1.0, FWeightR = 1.0;
    // Power ratios (L/R)^2 between which both level tests pass, for FWindowPan and FWindowA.
    bool FWindowValid = false;
    double FWindowPan = 0.0, FWindowA = 0.0, FWindowLo = 0.0, FWindowHi = 0.0;
    // Direction of the phase limit FPhaseLimit (degrees).
    double FPhaseLimit = 0.0, FPhaseCos = 1.0, FPhaseSin = 0.0;
};

} // namespace corvanel
