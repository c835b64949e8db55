#include "dsp/ReduceOffline.h"

#include <algorithm>
#include <stdexcept>

namespace corvanel {

std::vector<std::uint8_t> ReduceOffline(ReduceProcessor& processor,
                                        std::span<const std::uint8_t> pcm, std::size_t blockBytes) {
    if (blockBytes == 0 || blockBytes > 0xFFFFFFFFu)
        throw std::invalid_argument("ReduceOffline: block size out of range");
    std::vector<std::uint8_t> out;
    const ReduceSink capture = [&out](const std::uint8_t* data, std::uint32_t length) {
        out.insert(out.end(), data, data + length);
    };
    std::vector<std::uint8_t> block(blockBytes);
    for (std::size_t at = 0; at < pcm.size(); at += blockBytes) {
        const std::size_t length = std::min(blockBytes, pcm.size() - at);
        std::copy_n(pcm.begin() + static_cast<std::ptrdiff_t>(at), length, block.begin());
        processor.ProcessTo(capture, block.data(), static_cast<std::uint32_t>(length));
    }
    return out;
}

AlignedReducer::AlignedReducer(ReduceProcessor& processor, ReduceSink output)
    : FProcessor(processor), FOutput(std::move(output)) {
    FProcessor.RequestEmptyQueues();
    const ReduceParams& params = FProcessor.Params();
    const std::int32_t n = params.VRFFTPoint.load();
    if (params.VREnable.load() && ReduceProcessor::IsValidFrameSize(n)) {
        FFramePairs = n;
        FLeadIn = n; // a quarter frame: N/4 pairs of 4 bytes
    }
    FCapture = [this](const std::uint8_t* data, std::uint32_t length) { Take(data, length); };
}

void AlignedReducer::Take(const std::uint8_t* data, std::uint32_t length) {
    std::int64_t skip = std::min<std::int64_t>(FLeadIn, length);
    FLeadIn -= skip;
    // Never more than came in: the silence of Finish only pushes the real end out.
    const std::int64_t room = std::max<std::int64_t>(FBytesIn - FBytesOut, 0);
    const std::int64_t take = std::min<std::int64_t>(length - skip, room);
    if (take > 0) {
        if (FOutput)
            FOutput(data + skip, static_cast<std::uint32_t>(take));
        FBytesOut += take;
    }
}

void AlignedReducer::Feed(std::span<const std::uint8_t> block) {
    if (FFinished)
        throw std::logic_error("AlignedReducer: Feed after Finish");
    FScratch.assign(block.begin(), block.end());
    FBytesIn += static_cast<std::int64_t>(block.size());
    FProcessor.ProcessTo(FCapture, FScratch.data(), static_cast<std::uint32_t>(FScratch.size()));
}

void AlignedReducer::Finish() {
    if (FFinished)
        return;
    FFinished = true;
    if (FFramePairs > 0) {
        // At most a frame queued plus a quarter held back: a few frames of silence flush it.
        const std::size_t frameBytes = static_cast<std::size_t>(4 * FFramePairs);
        for (int round = 0; round < 8 && FBytesOut < FBytesIn; ++round) {
            FScratch.assign(frameBytes, 0);
            FProcessor.ProcessTo(FCapture, FScratch.data(),
                                 static_cast<std::uint32_t>(FScratch.size()));
        }
    }
    // Should the settings have changed under the run, keep the promised length.
    static constexpr std::uint8_t kZeros[4096] = {};
    while (FBytesOut < FBytesIn) {
        const std::int64_t take = std::min<std::int64_t>(FBytesIn - FBytesOut, sizeof kZeros);
        if (FOutput)
            FOutput(kZeros, static_cast<std::uint32_t>(take));
        FBytesOut += take;
    }
}

} // namespace corvanel
