// Running a ReduceProcessor over audio that is all at hand: a whole buffer at once, or an
// export fed block by block whose output must line up with its input.
//
// Units: 16-bit stereo PCM, lengths in bytes (whole sample pairs expected).
// Threads: whoever owns the processor, while no other call of it can run.
#pragma once

#include "dsp/ReduceProcessor.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace corvanel {

// Feeds pcm through the processor in blocks of blockBytes (the last one may be shorter)
// and returns every byte it sent on, lead-in included and unflushed end left out, exactly
// as a playback would hear it. The processor's queues are used as they are.
std::vector<std::uint8_t> ReduceOffline(ReduceProcessor& processor,
                                        std::span<const std::uint8_t> pcm, std::size_t blockBytes);

// An export whose output lines up with its input: the quarter-frame lead-in is dropped, and
// Finish feeds silence until every input pair has come out, then cuts, so the output has
// exactly the input's length. Construction asks the processor to start with empty queues
// and takes VREnable and VRFFTPoint as they are then; they are meant to stay so for the run
// (the output keeps the input's length even if they do not, but then loses its alignment).
class AlignedReducer {
  public:
    AlignedReducer(ReduceProcessor& processor, ReduceSink output);
    AlignedReducer(const AlignedReducer&) = delete;
    AlignedReducer& operator=(const AlignedReducer&) = delete;

    void Feed(std::span<const std::uint8_t> block);
    void Finish();

    std::int64_t BytesIn() const { return FBytesIn; }
    std::int64_t BytesOut() const { return FBytesOut; }

  private:
    void Take(const std::uint8_t* data, std::uint32_t length);

    ReduceProcessor& FProcessor;
    ReduceSink FOutput;
    ReduceSink FCapture;
    std::vector<std::uint8_t> FScratch;
    std::int64_t FLeadIn = 0;     // output bytes still to drop
    std::int64_t FFramePairs = 0; // N at construction, 0 with the reduction off
    std::int64_t FBytesIn = 0;
    std::int64_t FBytesOut = 0;
    bool FFinished = false;
};

} // namespace corvanel
