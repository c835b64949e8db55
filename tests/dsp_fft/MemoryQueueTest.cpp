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

// Random writes, reads and emptyings against a plain model of bytes and blocks: the stream
// comes out in order and the block counts follow the rules above, while the queue's room
// wraps, grows with unread bytes across its end, and is kept over Clear.
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
        if (action == 0) {
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
            const int got = q.Read(out.data(), want);
            ASSERT_EQ(got, std::min<int>(want, static_cast<int>(model.size())));
            for (int i = 0; i < got; ++i) {
                ASSERT_EQ(out[i], model.front());
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

// One producer, one consumer and a measuring thread at once; run it under ThreadSanitizer.
TEST(TMemoryQueue, ProducerAndConsumerThreadsKeepTheStreamIntact) {
    constexpr std::int64_t kTotal = 1 << 21;
    TMemoryQueue q;
    std::atomic<bool> done{false};

    std::thread producer([&] {
        std::mt19937 gen(1);
        std::uniform_int_distribution<int> size(0, 4096);
        std::vector<std::uint8_t> block;
        std::int64_t written = 0;
        while (written < kTotal) {
            block.resize(
                static_cast<std::size_t>(std::min<std::int64_t>(size(gen), kTotal - written)));
            for (auto& b : block)
                b = static_cast<std::uint8_t>(written++ % 251);
            q.Write(block.data(), static_cast<std::int32_t>(block.size()));
        }
    });
    std::thread measurer([&] {
        while (!done.load()) {
            const int trueLength = q.TrueLength();
            EXPECT_GE(trueLength, 0);
            EXPECT_GE(q.Count(), 0);
            EXPECT_GE(q.Length(), 0);
            std::this_thread::yield();
        }
    });

    std::mt19937 gen(2);
    std::uniform_int_distribution<int> size(1, 5000);
    std::vector<std::uint8_t> out;
    std::int64_t received = 0;
    bool intact = true;
    while (received < kTotal && intact) {
        out.resize(static_cast<std::size_t>(size(gen)));
        const int got = q.Read(out.data(), static_cast<int>(out.size()));
        for (int i = 0; i < got && intact; ++i)
            intact = out[i] == static_cast<std::uint8_t>(received++ % 251);
        if (got == 0)
            std::this_thread::yield();
    }
    producer.join();
    done.store(true);
    measurer.join();
    EXPECT_TRUE(intact) << "byte " << received - 1 << " out of order";
    EXPECT_EQ(received, kTotal);
    EXPECT_EQ(q.TrueLength(), 0);
}

// The UI thread may empty a queue while the audio thread reads: every read still hands out
// whole bytes in order, from where the stream stood.
TEST(TMemoryQueue, ClearWhileAnotherThreadReadsIsSafe) {
    TMemoryQueue q;
    std::atomic<bool> stop{false};
    std::thread clearer([&] {
        while (!stop.load()) {
            q.Clear();
            std::this_thread::yield();
        }
    });
    std::vector<std::uint8_t> block(1000);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i % 200);
    std::vector<std::uint8_t> out(700);
    for (int round = 0; round < 3000; ++round) {
        q.Write(block.data(), 1000);
        const int got = q.Read(out.data(), 700);
        // Whatever survived the clears is a run of consecutive values of one block.
        for (int i = 1; i < got; ++i)
            ASSERT_EQ(out[i], static_cast<std::uint8_t>((out[i - 1] + 1) % 200));
    }
    stop.store(true);
    clearer.join();
}

} // namespace
