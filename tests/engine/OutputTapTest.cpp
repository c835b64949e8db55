#include "engine/OutputTap.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

std::vector<uint8_t> Pattern(std::size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<uint8_t>(seed + i * 7);
    return v;
}

TEST(OutputTap, ReadsTheBlockInPiecesThenNothing) {
    OutputTap tap(64);
    const auto block = Pattern(10, 3);
    ViewProc(1, 0, const_cast<uint8_t*>(block.data()), 10, &tap);
    std::vector<uint8_t> got(16);
    ASSERT_EQ(tap.ReadUpTo(got.data(), 4), 4u);
    ASSERT_EQ(tap.ReadUpTo(got.data() + 4, 16), 6u);
    got.resize(10);
    EXPECT_EQ(got, block);
    EXPECT_EQ(tap.ReadUpTo(got.data(), 16), 0u);
}

TEST(OutputTap, ViewProcLeavesTheBlockUnchanged) {
    OutputTap tap(64);
    auto block = Pattern(12, 9);
    const auto copy = block;
    ViewProc(1, 0, block.data(), static_cast<uint32_t>(block.size()), &tap);
    EXPECT_EQ(block, copy);
    ViewProc(1, 0, block.data(), 12, nullptr); // no tap: nothing happens
}

TEST(OutputTap, ReplaceMidReadRestartsAtTheNewBlock) {
    OutputTap tap(64);
    const auto a = Pattern(40, 1);
    const auto b = Pattern(8, 100);
    tap.Replace(a.data(), a.size());
    std::vector<uint8_t> got(64);
    ASSERT_EQ(tap.ReadUpTo(got.data(), 16), 16u);
    tap.Replace(b.data(), b.size());
    ASSERT_EQ(tap.ReadUpTo(got.data(), 64), 8u);
    EXPECT_TRUE(std::equal(b.begin(), b.end(), got.begin()));
    EXPECT_EQ(tap.ReadUpTo(got.data(), 64), 0u);
}

TEST(OutputTap, EmptyBlockAndClearLeaveNothingToRead) {
    OutputTap tap(64);
    const auto a = Pattern(20, 1);
    std::vector<uint8_t> got(64);
    tap.Replace(a.data(), a.size());
    tap.Replace(nullptr, 0);
    EXPECT_EQ(tap.ReadUpTo(got.data(), 64), 0u);
    tap.Replace(a.data(), a.size());
    tap.Clear();
    EXPECT_EQ(tap.ReadUpTo(got.data(), 64), 0u);
}

TEST(OutputTap, GrowsForALargerBlockAndKeepsItsCapacity) {
    OutputTap tap(16);
    const auto big = Pattern(100, 5);
    tap.Replace(big.data(), big.size());
    const std::size_t grown = tap.CapacityBytes();
    EXPECT_GE(grown, 100u);
    std::vector<uint8_t> got(128);
    ASSERT_EQ(tap.ReadUpTo(got.data(), 128), 100u);
    got.resize(100);
    EXPECT_EQ(got, big);
    const auto small = Pattern(30, 2);
    tap.Replace(small.data(), small.size());
    EXPECT_EQ(tap.CapacityBytes(), grown); // smaller blocks reuse the buffer
}

// The audio thread replaces blocks while the UI thread reads: every read must come from one
// block (a block is filled with one byte value and read at a 4-byte stride), and under
// ThreadSanitizer the pair must show no race. Blocks grow as it runs, so the reallocation path
// races with the reader too.
TEST(OutputTap, ConcurrentReplaceAndReadSeeWholeBlocks) {
    OutputTap tap(512);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<uint8_t> block;
        for (int i = 0; i < 4000; ++i) {
            block.assign(256 + static_cast<std::size_t>(i % 50) * 64 + (i > 2000 ? 4096 : 0),
                         static_cast<uint8_t>(i));
            ViewProc(7, 0, block.data(), static_cast<uint32_t>(block.size()), &tap);
        }
        done = true;
    });
    std::size_t mixed = 0;
    std::vector<uint8_t> buf(4096);
    while (!done) {
        const std::size_t n = tap.ReadUpTo(buf.data(), buf.size());
        for (std::size_t i = 1; i < n; ++i)
            mixed += buf[i] != buf[0] ? 1 : 0;
    }
    audio.join();
    EXPECT_EQ(mixed, 0u);
    std::vector<uint8_t> last(8192);
    const std::size_t n = tap.ReadUpTo(last.data(), last.size());
    EXPECT_LE(n, 256u + 49 * 64 + 4096); // what is left of the final block, no more
    for (std::size_t i = 0; i < n; ++i)
        ASSERT_EQ(last[i], static_cast<uint8_t>(3999));
}

} // namespace
