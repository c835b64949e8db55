// The UI thread changes the frame length and the switches while the audio thread streams
// blocks. Run under ThreadSanitizer too. Once the UI thread has made its last change, the
// output from the next call on must be the reduction of the input from that call on, with
// nothing of an earlier frame length left in the queues.
#include "dsp/ReduceOffline.h"
#include "tests/dsp_reduce/ReduceTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace corvanel::reducetest {
namespace {

TEST(ReduceThreads, FrameSizeChangesLandBetweenCalls) {
    constexpr std::size_t kBlock = 4 * 1103; // about 25 ms of audio
    const Pcm input = MusicLike(60 * 8192, 31);
    const std::size_t blocks = input.size() / kBlock;

    ReduceParams params;
    params.VREnable = true;
    params.VRFFTPoint = 32768;
    ReduceProcessor processor(params);
    std::vector<std::uint32_t> chunkSizes;
    Pcm sent;
    const ReduceSink sink = [&](const std::uint8_t* d, std::uint32_t len) {
        chunkSizes.push_back(len);
        sent.insert(sent.end(), d, d + len);
    };

    std::atomic<std::size_t> callsStarted{0};
    std::atomic<bool> uiDone{false};
    std::size_t firstAfter = 0, lastAfter = 0; // written by the UI thread, read after join
    constexpr std::size_t kRacingCalls = 300;
    std::thread ui([&] {
        const std::int32_t sizes[] = {16384, 8192, 32768};
        for (int step = 0; callsStarted.load() < kRacingCalls; ++step) {
            processor.ChangeFrameSize(sizes[step % 3]);
            if (step % 5 == 0)
                params.VREnable = !params.VREnable.load();
            if (step % 7 == 0)
                params.VRInverse = !params.VRInverse.load();
            params.VRPanPot = (step % 9) - 4.0;
            std::this_thread::yield();
        }
        // The last change, still while blocks stream: the first call that starts after it
        // lies between these two counts.
        params.VREnable = true;
        params.VRInverse = false;
        params.VRPanPot = 2.0;
        firstAfter = callsStarted.load();
        processor.ChangeFrameSize(8192);
        lastAfter = callsStarted.load();
        uiDone = true;
    });

    std::vector<std::size_t> sentBefore(blocks + 1);
    Pcm block(kBlock);
    for (std::size_t b = 0; b < blocks; ++b) {
        if (b + 60 >= blocks)
            while (!uiDone.load())
                std::this_thread::yield(); // keep enough input for after the last change
        std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(b * kBlock), kBlock, block.begin());
        sentBefore[b] = sent.size();
        callsStarted.fetch_add(1);
        processor.ProcessTo(sink, block.data(), kBlock);
    }
    sentBefore[blocks] = sent.size();
    ui.join();

    // Every chunk was a pass-through block or three quarters of a frame of a valid length.
    for (std::uint32_t len : chunkSizes)
        EXPECT_TRUE(len == kBlock || len == 3 * 8192 || len == 3 * 16384 || len == 3 * 32768)
            << len;

    bool matched = false;
    for (std::size_t first = firstAfter; first <= lastAfter && !matched; ++first) {
        ReduceParams fresh;
        fresh.VREnable = true;
        fresh.VRPanPot = 2.0;
        fresh.VRFFTPoint = 8192;
        ReduceProcessor reference(fresh);
        const Pcm rest(input.begin() + static_cast<std::ptrdiff_t>(first * kBlock),
                       input.begin() + static_cast<std::ptrdiff_t>(blocks * kBlock));
        const Pcm expected = ReduceOffline(reference, rest, kBlock);
        EXPECT_GE(expected.size(), 10u * 3 * 8192);
        matched = Pcm(sent.begin() + static_cast<std::ptrdiff_t>(sentBefore[first]), sent.end()) ==
                  expected;
    }
    EXPECT_TRUE(matched) << "calls " << firstAfter << " .. " << lastAfter;
}

// A frame length stored without asking for the emptying (as a call may see it in the middle
// of a change): the overlap of the old length is dropped, the queued input kept.
TEST(ReduceThreads, NewFrameLengthNeverReadsTheOldOverlap) {
    constexpr std::size_t kBlock = 4 * 1103;
    const Pcm input = MusicLike(40 * 8192, 32);
    ReduceParams params;
    params.VREnable = true;
    params.VRFFTPoint = 8192;
    ReduceProcessor processor(params);
    Pcm sent;
    const ReduceSink sink = [&](const std::uint8_t* d, std::uint32_t len) {
        sent.insert(sent.end(), d, d + len);
    };
    Pcm block(kBlock);
    std::size_t at = 0;
    const auto feed = [&](std::size_t until) {
        for (; at + kBlock <= until; at += kBlock) {
            std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(at), kBlock, block.begin());
            processor.ProcessTo(sink, block.data(), kBlock);
        }
    };
    feed(input.size() / 4);
    const std::size_t consumed = sent.size(); // each 8192 frame took as much input as it sent
    params.VRFFTPoint = 16384;
    feed(input.size());

    ReduceParams freshParams;
    freshParams.VREnable = true;
    freshParams.VRFFTPoint = 16384;
    ReduceProcessor fresh(freshParams);
    const Pcm expected =
        ReduceOffline(fresh, std::span(input).subspan(consumed, at - consumed), 88200);
    const Pcm after(sent.begin() + static_cast<std::ptrdiff_t>(consumed), sent.end());
    ASSERT_GE(std::min(after.size(), expected.size()), 10u * 3 * 16384);
    EXPECT_LE(std::max(after.size(), expected.size()) - std::min(after.size(), expected.size()),
              3u * 16384);
    const std::size_t common = std::min(after.size(), expected.size());
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + static_cast<std::ptrdiff_t>(common),
                           expected.begin()));
}

} // namespace
} // namespace corvanel::reducetest
