#include "audio/encode/EncodeQueue.h"
#include "tests/audio_encode/TestSupport.h"
#include "audio/encode/Outputs.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

namespace corvanel::audio::encode {
namespace {

using test::TempFolder;

std::string bytesOf(std::size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 31 + seed) & 0xFF);
    return s;
}

// Writes blocks of odd sizes through the queue; returns what was written.
std::string feed(EncodeQueue& queue, std::size_t blocks) {
    std::string all;
    for (std::size_t b = 0; b < blocks; ++b) {
        const std::string block = bytesOf(1 + b * 12345 % 70001, static_cast<unsigned>(b));
        queue.write(block.data(), block.size());
        all += block;
    }
    return all;
}

class ProgramEncoder : public ::testing::TestWithParam<EncodeQueue::Mode> {};

TEST_P(ProgramEncoder, ProgramReceivesExactlyWhatWasWritten) {
    TempFolder dir;
    const auto script = dir / "enc";
    test::writeScript(script, test::recordBody());
    EncodeResult started;
    auto output = startProgramOutput({script.string(), "-o", "x"}, started);
    ASSERT_TRUE(output) << started.detail;
    EncodeQueue queue(std::move(output), GetParam());
    const std::string sent = feed(queue, 40);
    const EncodeResult r = queue.finish();
    EXPECT_TRUE(r.ok()) << r.detail;
    EXPECT_EQ(queue.bytesDelivered(), static_cast<std::int64_t>(sent.size()));
    EXPECT_EQ(test::ReadFile(script.string() + ".bytes"), sent);
    EXPECT_EQ(test::readRecordedArgs(script), (std::vector<std::string>{"-o", "x"}));
    EXPECT_FALSE(queue.write("x", 1)) << "writes after finish must be refused";
    EXPECT_TRUE(queue.finish().ok()) << "finish is repeatable";
}

struct ProgramFailure {
    const char* name;
    const char* body;
    EncodeFault expected;
};

class ProgramEncoderFailure
    : public ::testing::TestWithParam<std::tuple<ProgramFailure, EncodeQueue::Mode>> {};

TEST_P(ProgramEncoderFailure, IsReportedAtFinish) {
    const auto& [failure, mode] = GetParam();
    TempFolder dir;
    const auto script = dir / "enc";
    test::writeScript(script, failure.body);
    EncodeResult started;
    auto output = startProgramOutput({script.string()}, started);
    ASSERT_TRUE(output) << started.detail;
    EncodeQueue queue(std::move(output), mode);
    feed(queue, 60); // about 2 MB: far more than a pipe holds
    const EncodeResult r = queue.finish();
    EXPECT_EQ(r.fault, failure.expected) << r.detail;
    EXPECT_FALSE(r.detail.empty());
}

const ProgramFailure kFailures[] = {
    {"ExitsNonZeroAfterReading", "cat > /dev/null; exit 2", EncodeFault::ProgramFailed},
    {"StopsReadingAndExitsZero", "head -c 1000 > /dev/null; exit 0", EncodeFault::BrokenPipe},
    {"StopsReadingAndFails", "exit 1", EncodeFault::ProgramFailed},
    {"KilledBySignal", "head -c 10 > /dev/null; kill -KILL $$", EncodeFault::ProgramFailed},
};

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramEncoderFailure,
    ::testing::Combine(::testing::ValuesIn(kFailures),
                       ::testing::Values(EncodeQueue::Mode::Queued, EncodeQueue::Mode::Direct)),
    [](const auto& tpi) {
        return std::string(std::get<0>(tpi.param).name) +
               (std::get<1>(tpi.param) == EncodeQueue::Mode::Queued ? "Queued" : "Direct");
    });

INSTANTIATE_TEST_SUITE_P(Modes, ProgramEncoder,
                         ::testing::Values(EncodeQueue::Mode::Queued, EncodeQueue::Mode::Direct),
                         [](const auto& tpi) {
                             return tpi.param == EncodeQueue::Mode::Queued ? "Queued" : "Direct";
                         });

TEST(ProgramEncoder, MissingProgramCannotStart) {
    TempFolder dir;
    EncodeResult r;
    EXPECT_FALSE(startProgramOutput({(dir / "no-such-encoder").string(), "-"}, r));
    EXPECT_EQ(r.fault, EncodeFault::CannotStart);
    EXPECT_NE(r.detail.find("no-such-encoder"), std::string::npos) << r.detail;
}

// An output that fails on a chosen write, to follow the queue's own bookkeeping.
class FailingOutput final : public EncoderOutput {
  public:
    FailingOutput(int failAt, std::atomic<int>& writes, std::atomic<bool>& finished)
        : failAt_(failAt), writes_(writes), finished_(finished) {}
    EncodeResult write(std::span<const std::byte>) override {
        if (++writes_ == failAt_)
            return EncodeResult::failure(EncodeFault::WriteFailed, "no space");
        return {};
    }
    EncodeResult finish() override {
        finished_ = true;
        return {};
    }

  private:
    int failAt_;
    std::atomic<int>& writes_;
    std::atomic<bool>& finished_;
};

TEST(EncodeQueue, FirstFailureIsKeptLaterDataDroppedOutputStillEnded) {
    std::atomic<int> writes{0};
    std::atomic<bool> finished{false};
    EncodeQueue queue(std::make_unique<FailingOutput>(3, writes, finished),
                      EncodeQueue::Mode::Queued);
    const std::string block(100, 'x');
    for (int i = 0; i < 10; ++i)
        queue.write(block.data(), block.size());
    const EncodeResult r = queue.finish();
    EXPECT_EQ(r.fault, EncodeFault::WriteFailed);
    EXPECT_EQ(r.detail, "no space");
    EXPECT_EQ(queue.bytesDelivered(), 200);
    EXPECT_EQ(writes.load(), 3) << "data after the failure must not reach the output";
    EXPECT_TRUE(finished.load()) << "the output must still be ended (program reaped, file closed)";
    EXPECT_FALSE(queue.write(block.data(), block.size()));
}

TEST(EncodeQueue, WritersOnSeveralThreadsLoseNothing) {
    TempFolder dir;
    const auto script = dir / "enc";
    test::writeScript(script, test::recordBody());
    EncodeResult started;
    EncodeQueue queue(startProgramOutput({script.string()}, started), EncodeQueue::Mode::Queued);
    constexpr int kThreads = 4;
    constexpr int kBlocks = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&queue, t] {
            const std::string block(1000, static_cast<char>('a' + t));
            for (int b = 0; b < kBlocks; ++b)
                queue.write(block.data(), block.size());
        });
    }
    for (auto& th : threads)
        th.join();
    ASSERT_TRUE(queue.finish().ok());
    const std::string got = test::ReadFile(script.string() + ".bytes");
    ASSERT_EQ(got.size(), static_cast<std::size_t>(kThreads * kBlocks * 1000));
    for (std::size_t i = 0; i < got.size(); i += 1000) // blocks stay whole
        EXPECT_EQ(got.substr(i, 1000), std::string(1000, got[i]));
}

TEST(EncodeQueue, LimitedQueueWaitsForRoomAndLosesNothing) {
    TempFolder dir;
    const auto script = dir / "enc";
    test::writeScript(script, test::recordBody());
    EncodeResult started;
    EncodeQueue queue(startProgramOutput({script.string()}, started), EncodeQueue::Mode::Queued,
                      1000);
    std::string sent;
    for (int b = 0; b < 300; ++b) {
        const std::string block =
            bytesOf(700 + static_cast<std::size_t>(b % 3) * 600, static_cast<unsigned>(b));
        ASSERT_TRUE(queue.write(block.data(), block.size()));
        sent += block;
    }
    ASSERT_TRUE(queue.finish().ok());
    EXPECT_EQ(test::ReadFile(script.string() + ".bytes"), sent);
}

// An output that holds every write until it is opened.
class GatedOutput final : public EncoderOutput {
  public:
    void Open() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }
    // Until a write is held.
    void WaitForHeldWrite() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return held_; });
    }
    EncodeResult write(std::span<const std::byte>) override {
        std::unique_lock lock(mutex_);
        held_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
        return {};
    }
    EncodeResult finish() override { return {}; }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    bool open_ = false;
};

TEST(EncodeQueue, AWriterWaitingForRoomGoesOnOnceTheLimitIsLifted) {
    auto gated = std::make_unique<GatedOutput>();
    GatedOutput& output = *gated;
    EncodeQueue queue(std::move(gated), EncodeQueue::Mode::Queued, 100);
    const std::string block(100, 'x');
    ASSERT_TRUE(queue.write(block.data(), block.size()));
    output.WaitForHeldWrite();
    ASSERT_TRUE(queue.write(block.data(), block.size())); // queued: the limit is reached
    auto third =
        std::async(std::launch::async, [&] { return queue.write(block.data(), block.size()); });
    EXPECT_EQ(third.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout)
        << "a write past the limit waits";
    queue.setLimit(0);
    const bool wentOn = third.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    EXPECT_TRUE(wentOn) << "the waiting write did not see the new limit";
    output.Open();
    EXPECT_TRUE(third.get());
    EXPECT_TRUE(queue.finish().ok());
    EXPECT_EQ(queue.bytesDelivered(), 300);
}

} // namespace
} // namespace corvanel::audio::encode
