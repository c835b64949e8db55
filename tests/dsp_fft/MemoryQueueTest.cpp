#include "dsp/MemoryQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <thread>
#include <vector>

using corvanel::TMemoryQueue;

namespace {

void WriteText(TMemoryQueue& q, const std::string& s) {
    q.Write(s.data(), static_cast<std::int32_t>(s.size()));
}

std::string ReadText(TMemoryQueue& q, int len) {
    std::string out(static_cast<std::size_t>(std::max(len, 0)), '#');
    const int got = q.Read(out.data(), len);
    EXPECT_GE(got, 0);
    EXPECT_LE(got, std::max(len, 0));
    out.resize(static_cast<std::size_t>(got));
    return out;
}

struct Sizes {
    int trueLength, length, count;
};

void ExpectSizes(const TMemoryQueue& q, Sizes s) {
    EXPECT_EQ(q.TrueLength(), s.trueLength);
    EXPECT_EQ(q.Length(), s.length);
    EXPECT_EQ(q.Count(), s.count);
}

TEST(TMemoryQueue, ReadOnAnEmptyQueueLeavesTheDestinationUntouched) {
    TMemoryQueue q;
    char buffer[4] = {'x', 'y', 'z', 'w'};
    EXPECT_EQ(q.Read(buffer, 4), 0);
    EXPECT_EQ(std::string(buffer, 4), "xyzw");
    ExpectSizes(q, {0, 0, 0});
}

TEST(TMemoryQueue, PartialReadCrossesBlocksAndFreesTheUsedUpOne) {
    TMemoryQueue q;
    WriteText(q, "abc");
    WriteText(q, "de");
    ExpectSizes(q, {5, 5, 2});
    EXPECT_EQ(ReadText(q, 4), "abcd");
    ExpectSizes(q, {1, 2, 1});
    EXPECT_EQ(ReadText(q, 1), "e");
    ExpectSizes(q, {0, 2, 1}); // used up, still held
}

TEST(TMemoryQueue, ReadingMoreThanHeldEmptiesTheQueue) {
    TMemoryQueue q;
    WriteText(q, "abc");
    WriteText(q, "de");
    EXPECT_EQ(ReadText(q, 100), "abcde");
    ExpectSizes(q, {0, 0, 0});
}

TEST(TMemoryQueue, ReadingExactlyWhatIsHeldKeepsTheLastBlockUntilTheNextRead) {
    TMemoryQueue q;
    WriteText(q, "ab");
    WriteText(q, "cde");
    EXPECT_EQ(ReadText(q, 5), "abcde");
    ExpectSizes(q, {0, 3, 1});
    WriteText(q, "fg");
    // The next read drops the used-up block and goes on with the next one.
    EXPECT_EQ(ReadText(q, 1), "f");
    ExpectSizes(q, {1, 2, 1});
    EXPECT_EQ(ReadText(q, 1), "g");
    EXPECT_EQ(ReadText(q, 1), "");
    ExpectSizes(q, {0, 0, 0});
}

TEST(TMemoryQueue, EmptyBlocksCountButHoldNothing) {
    TMemoryQueue q;
    WriteText(q, "a");
    q.Write(nullptr, 0);
    ExpectSizes(q, {1, 1, 2});
    q.Write("zz", -3); // a negative length writes nothing
    ExpectSizes(q, {1, 1, 2});
    EXPECT_EQ(ReadText(q, 0), "");
    ExpectSizes(q, {1, 1, 2});
    EXPECT_EQ(ReadText(q, -1), "");
    EXPECT_EQ(ReadText(q, 3), "a");
    ExpectSizes(q, {0, 0, 0});
}

TEST(TMemoryQueue, ClearFreesEverything) {
    TMemoryQueue q;
    for (int i = 0; i < 10; ++i)
        WriteText(q, std::string(100, 'q'));
    ReadText(q, 150);
    q.Clear();
    ExpectSizes(q, {0, 0, 0});
    EXPECT_EQ(ReadText(q, 10), "");
    WriteText(q, "new");
    EXPECT_EQ(ReadText(q, 10), "new");
}

// Random writes, reads, drops and emptyings against a plain model of bytes and blocks: the
// stream comes out in order and the block counts follow the rules above, while the queue's
// room wraps, grows with unread bytes across its end, is kept over Clear, and moves into a
// larger room reserved elsewhere with what it holds.
TEST(TMemoryQueue, ByteStreamSurvivesRandomBlockAndReadSizes) {
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> size(0, 300);
    TMemoryQueue q;
    q.Reserve(64, 2);
    std::deque<std::uint8_t> model;
    std::deque<int> blockLeft; // unread bytes per block held, oldest first
    int blockSizes = 0;
    std::deque<int> blockSize;
    std::uint8_t next = 0;
    for (int step = 0; step < 4000; ++step) {
        const unsigned action = gen() % 20;
        if (action == 19) {
            TMemoryQueue spare;
            spare.Reserve(static_cast<std::size_t>(q.TrueLength()) + size(gen) * 4,
                          static_cast<std::size_t>(q.Count()) + gen() % 8);
            spare.Write("x", 1);
            q.TakeRoom(spare);
            EXPECT_EQ(spare.Count(), 0);
        } else if (action == 0) {
            q.Clear();
            model.clear();
            blockLeft.clear();
            blockSize.clear();
            blockSizes = 0;
        } else if (action % 2 == 0) {
            std::vector<std::uint8_t> block(static_cast<std::size_t>(size(gen)));
            for (auto& b : block) {
                b = next++;
                model.push_back(b);
            }
            q.Write(block.data(), static_cast<std::int32_t>(block.size()));
            blockLeft.push_back(static_cast<int>(block.size()));
            blockSize.push_back(static_cast<int>(block.size()));
            blockSizes += static_cast<int>(block.size());
        } else {
            const int want = size(gen);
            std::vector<std::uint8_t> out(static_cast<std::size_t>(want));
            const bool drop = action % 4 == 1;
            const int got = drop ? q.Discard(want) : q.Read(out.data(), want);
            ASSERT_EQ(got, std::min<int>(want, static_cast<int>(model.size())));
            for (int i = 0; i < got; ++i) {
                if (!drop) {
                    ASSERT_EQ(out[i], model.front());
                }
                model.pop_front();
            }
            for (int rest = want; !blockLeft.empty();) {
                const int take = std::min(blockLeft.front(), rest);
                blockLeft.front() -= take;
                if (take < rest) {
                    blockSizes -= blockSize.front();
                    blockLeft.pop_front();
                    blockSize.pop_front();
                }
                rest -= take;
                if (rest <= 0)
                    break;
            }
        }
        ASSERT_EQ(q.TrueLength(), static_cast<int>(model.size()));
        ASSERT_EQ(q.Count(), static_cast<int>(blockLeft.size()));
        ASSERT_EQ(q.Length(), blockSizes);
    }
}

// One thread changes the queue (writes and reads, as the audio thread does) while others
// measure it; run it under ThreadSanitizer. The stream stays intact and every measure seen
// elsewhere is one the queue could have had.
TEST(TMemoryQueue, MeasuringFromOtherThreadsWhileOneThreadChangesIt) {
    constexpr std::int64_t kTotal = 1 << 21;
    constexpr int kMaxBlock = 4096;
    TMemoryQueue q;
    std::atomic<bool> done{false};
    std::vector<std::thread> measurers;
    for (int m = 0; m < 2; ++m)
        measurers.emplace_back([&] {
            while (!done.load()) {
                const int trueLength = q.TrueLength();
                EXPECT_GE(trueLength, 0);
                EXPECT_LE(trueLength, 2 * kMaxBlock);
                EXPECT_GE(q.Count(), 0);
                EXPECT_GE(q.Length(), 0);
                std::this_thread::yield();
            }
        });

    std::mt19937 gen(1);
    std::uniform_int_distribution<int> size(0, kMaxBlock);
    std::vector<std::uint8_t> block, out;
    std::int64_t written = 0, received = 0;
    bool intact = true;
    while (received < kTotal && intact) {
        if (q.TrueLength() < kMaxBlock) {
            block.resize(
                static_cast<std::size_t>(std::min<std::int64_t>(size(gen), kTotal - written)));
            for (auto& b : block)
                b = static_cast<std::uint8_t>(written++ % 251);
            q.Write(block.data(), static_cast<std::int32_t>(block.size()));
        }
        out.resize(static_cast<std::size_t>(size(gen)));
        const int got = q.Read(out.data(), static_cast<int>(out.size()));
        for (int i = 0; i < got && intact; ++i)
            intact = out[i] == static_cast<std::uint8_t>(received++ % 251);
    }
    done.store(true);
    for (std::thread& t : measurers)
        t.join();
    EXPECT_TRUE(intact) << "byte " << received - 1 << " out of order";
    EXPECT_EQ(received, kTotal);
    EXPECT_EQ(q.TrueLength(), 0);
}

} // namespace
