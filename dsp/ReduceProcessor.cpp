#include "dsp/ReduceProcessor.h"

#include "dsp/BinDecision.h"
#include "dsp/PackedFrame.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>

namespace corvanel {

static_assert(std::endian::native == std::endian::little,
              "frames are read as native 16-bit samples from little-endian PCM");

namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr std::int32_t kMaxFrameSize = 1 << 22;

// Reads length bytes; what the queue does not have reads as silence.
void ReadOrZero(TMemoryQueue& queue, std::int16_t* to, std::int32_t length) {
    const std::int32_t got = queue.Read(to, length);
    if (got >= 0 && got < length)
        std::memset(reinterpret_cast<std::uint8_t*>(to) + got, 0,
                    static_cast<std::size_t>(length - got));
}

} // namespace

// Working storage of one frame length: the packed transform with its tables, the packed
// frame (left real, right imaginary), the 16-bit frame (4·N bytes) and the tail's last
// quarter (N bytes), the cross-fade weights, and the room the three queues need at this
// length, made here and taken over by the audio thread when it meets the length.
struct ReduceProcessor::Workspace {
    Workspace(std::int32_t length, SimdPath path)
        : n(length), fft(length, path), decider(fft), spectrum(n),
          frame(static_cast<std::size_t>(2 * n)), tail(static_cast<std::size_t>(n / 2)) {
        // The most each queue holds at this length: input short of a frame plus a block (up
        // to the two frames of zeros that push out a song's end), a quarter of overlap, a
        // frame of tail.
        const auto bytes = static_cast<std::size_t>(n);
        soundRoom.Reserve(12 * bytes, std::max<std::size_t>(64, bytes / 64));
        historyRoom.Reserve(bytes, 2);
        tailRoom.Reserve(4 * bytes, 2);
        // One weight per sample, both channels of a pair alike.
        const std::int32_t m = n / 4;
        fadeOut.resize(2 * static_cast<std::size_t>(m));
        fadeIn.resize(2 * static_cast<std::size_t>(m));
        for (std::int32_t i = 0; i < m; ++i) {
            const double theta = static_cast<double>(i) * kHalfPi / static_cast<double>(m - 1);
            const double c = std::cos(theta);
            const double s = std::sin(theta);
            const auto at = 2 * static_cast<std::size_t>(i);
            fadeOut[at] = fadeOut[at + 1] = c * c;
            fadeIn[at] = fadeIn[at + 1] = s * s;
        }
    }

    std::int32_t n;
    PackedFFT fft;
    PackedBinDecider decider;
    PackedSpectrum spectrum;
    std::vector<std::int16_t> frame, tail;
    std::vector<double> fadeOut, fadeIn;
    TMemoryQueue soundRoom, historyRoom, tailRoom;
};

ReduceProcessor::ReduceProcessor(ReduceParams& params, SimdPath path)
    : FParams(params), FSimdPath(path) {
    for (TWaveFFT* fft : {&FWaveFFT1, &FWaveFFT2}) {
        fft->SetCount(2);
        fft->SetSamplingRate(44100.0);
        fft->SetWindowType(wtRECTANGULAR);
        fft->SetRadix(0);
    }
    FWaveIFFT1.SetCount(2);
    FWaveIFFT2.SetCount(2);
    PrepareFrameSize(FParams.VRFFTPoint.load(std::memory_order_relaxed));
}

ReduceProcessor::~ReduceProcessor() {
    for (std::atomic<Workspace*>& slot : FWorkspaces)
        delete slot.load(std::memory_order_acquire);
}

void ReduceProcessor::PrepareFrameSize(std::int32_t pairs) {
    if (!IsValidFrameSize(pairs))
        return;
    WorkspaceFor(pairs);
}

ReduceProcessor::Workspace& ReduceProcessor::WorkspaceFor(std::int32_t n) {
    std::atomic<Workspace*>& slot =
        FWorkspaces[static_cast<std::size_t>(std::countr_zero(static_cast<std::uint32_t>(n)))];
    Workspace* ws = slot.load(std::memory_order_acquire);
    if (ws != nullptr)
        return *ws;
    auto fresh = std::make_unique<Workspace>(n, FSimdPath);
    if (slot.compare_exchange_strong(ws, fresh.get(), std::memory_order_acq_rel))
        return *fresh.release();
    return *ws; // the other thread's came first
}

bool ReduceProcessor::IsValidFrameSize(std::int32_t pairs) {
    return pairs >= 8 && pairs <= kMaxFrameSize &&
           std::has_single_bit(static_cast<std::uint32_t>(pairs));
}

void ReduceProcessor::ChangeFrameSize(std::int32_t pairs) {
    PrepareFrameSize(pairs);
    RequestEmptyQueues();
    FParams.VRFFTPoint.store(pairs, std::memory_order_release);
}

void ReduceProcessor::Process(std::uint32_t handle, void* buffer, std::uint32_t length) noexcept {
    auto* block = static_cast<std::uint8_t*>(buffer);
    try {
        Run(handle != 0 ? FPlaybackSink : FEncoderSink, handle == 0, block, length);
    } catch (...) {
        // Nothing may leave the audio library's thread; this block is lost to silence.
        if (block != nullptr)
            std::memset(block, 0, length);
    }
}

void ReduceProcessor::ProcessTo(const ReduceSink& sink, void* buffer, std::uint32_t length) {
    Run(sink, false, static_cast<std::uint8_t*>(buffer), length);
}

void ReduceProcessor::DspCallback(std::uint32_t handle, std::uint32_t, void* buffer,
                                  std::uint32_t length, void* user) noexcept {
    static_cast<ReduceProcessor*>(user)->Process(handle, buffer, length);
}

void ReduceProcessor::ApplyPendingEmpty() {
    const std::uint32_t pending = FPendingEmpty.exchange(0, std::memory_order_acq_rel);
    if (pending & kEmptyOverlap) {
        FHistoryQueue.Clear();
        FTailQueue.Clear();
    }
    if (pending & (kEmptyAll & ~kEmptyOverlap))
        FSoundQueue.Clear();
}

void ReduceProcessor::Run(const ReduceSink& sink, bool pauseAfterPassThrough, std::uint8_t* block,
                          std::uint32_t length) {
    if (block == nullptr)
        length = 0;
    ApplyPendingEmpty();
    const auto silence = [&] {
        if (length > 0)
            std::memset(block, 0, length);
    };

    if (!FParams.VREnable.load(std::memory_order_relaxed)) {
        if (FSoundQueue.Count() > 0)
            FSoundQueue.Clear();
        if (sink)
            sink(block, length);
        if (pauseAfterPassThrough && FPassThroughPause.count() > 0)
            std::this_thread::sleep_for(FPassThroughPause);
        silence();
        return;
    }

    const std::int32_t n = FParams.VRFFTPoint.load(std::memory_order_acquire);
    if (!IsValidFrameSize(n)) {
        FSoundQueue.Clear();
        silence();
        return;
    }
    if (n != FQueuedN) {
        // Made first, so that a failure to make it leaves everything as it was.
        Workspace& ws = WorkspaceFor(n);
        // The overlap held belongs to another frame length: each frame reads exactly as much
        // as it appends, so a stale quarter or tail would never wash out.
        FHistoryQueue.Clear();
        FTailQueue.Clear();
        FQueuedN = n;
        // The queues grow to this length's room without allocating here.
        FSoundQueue.TakeRoom(ws.soundRoom);
        FHistoryQueue.TakeRoom(ws.historyRoom);
        FTailQueue.TakeRoom(ws.tailRoom);
    }

    // The queue counts in signed 32 bits: a block of 2 GiB or more goes in in pieces.
    std::uint32_t queued = 0;
    do {
        const std::uint32_t piece = std::min<std::uint32_t>(length - queued, 1u << 30);
        FSoundQueue.Write(block + queued, static_cast<std::int32_t>(piece));
        queued += piece;
    } while (queued < length);

    const std::int64_t frameBytes = 4 * static_cast<std::int64_t>(n);
    if (FSoundQueue.TrueLength() >= frameBytes) {
        Workspace& ws = WorkspaceFor(n);
        try {
            do {
                ProcessFrame(ws, sink);
            } while (FSoundQueue.TrueLength() > frameBytes);
        } catch (...) {
            if (FFrameOpen) {
                // A half-done frame would leave the overlap one step out of line; restart it
                // as after a resume.
                FHistoryQueue.Clear();
                FTailQueue.Clear();
                FFrameOpen = false;
            }
            throw;
        }
    }
    silence();
}

void ReduceProcessor::ProcessFrame(Workspace& ws, const ReduceSink& sink) {
    const std::int32_t n = ws.n;
    std::int16_t* frame = ws.frame.data();
    std::int16_t* tail = ws.tail.data();
    double* re = ws.spectrum.Re();
    double* im = ws.spectrum.Im();
    // One snapshot of the parameters per frame.
    const BinDecisionParams decision(FParams.VRBand1.load(std::memory_order_relaxed),
                                     FParams.VRBand2.load(std::memory_order_relaxed),
                                     static_cast<double>(SourceRate()),
                                     FParams.VRPanPot.load(std::memory_order_relaxed),
                                     FParams.VRAParam.load(std::memory_order_relaxed),
                                     FParams.VRPParam.load(std::memory_order_relaxed));
    const bool inverse = FParams.VRInverse.load(std::memory_order_relaxed);

    // Assembly: a quarter of overlap, then three quarters of new input.
    FFrameOpen = true;
    ReadOrZero(FHistoryQueue, frame, n);
    ReadOrZero(FSoundQueue, frame + n / 2, 3 * n);
    FHistoryQueue.Write(frame + 3 * (n / 2), n);

    // Analysis of both channels at once: X = L + iR.
    UnpackFrame(frame, n, re, im, ws.fft.Path());
    ws.fft.Forward(re, im);

    ws.decider.Decide(decision, re, im);

    // Synthesis: the real part is the left channel, the imaginary part the right.
    ws.fft.Inverse(re, im);

    // Back to 16-bit (the inverse transform's 1/N folded into the scale, a power of two);
    // the inverse mode keeps what the reduction took away.
    PackFrame(re, im, n, 32768.0 / n, inverse, frame, ws.fft.Path());

    // Cross-fade from the held-back last quarter of the previous output frame (the rest of
    // that frame leaves the queue uncopied).
    FTailQueue.Discard(3 * n);
    ReadOrZero(FTailQueue, tail, n);
    CrossFadeFrame(tail, ws.fadeOut.data(), ws.fadeIn.data(), n / 2, frame, ws.fft.Path());
    FTailQueue.Write(frame, 4 * n);
    FFrameOpen = false;

    if (sink)
        sink(reinterpret_cast<const std::uint8_t*>(frame), static_cast<std::uint32_t>(3 * n));
}

} // namespace corvanel
