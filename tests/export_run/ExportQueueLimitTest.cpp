// Exports running at once on worker threads, each with its own encoder queue limit: every run
// writes into a pipe that is not read yet, so a run can pull only what its own limit admits.
#include "tests/export_run/ExportRunFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace corvanel;
using namespace corvanel::test;

namespace {

// Counts the run's blocks (one event pump each) where another thread can read them.
class CountingView final : public TExportView {
  public:
    std::atomic<int> Blocks{0};

    void ChooseOutput(TObjectEx&) override {}
    void ShowWritingView(bool) override {}
    void SetProgress(double) override {}
    void ProcessEvents() override { ++Blocks; }
    void RewindPosition() override {}
    void ShowInformation(const std::string&) override {}
    void ShowWarning(const std::string&) override {}
    void ShowError(const std::string&) override {}
};

// A WAV export into a named pipe, read only by Drain.
struct PipedRun {
    PipedRun(const fs::path& pipe, std::uint32_t limit) : Pipe(pipe) {
        TExportOptions options;
        options.PassThroughPause = std::chrono::milliseconds(0);
        options.EncoderQueueLimit = limit;
        Run = std::make_unique<TExportRun>(Chain, State, View, options);
        State.EncodeProgram = "<WAVE>";
        State.Edit2 = pipe.string();
        ::mkfifo(pipe.c_str(), 0600);
    }
    ~PipedRun() {
        if (Reader >= 0)
            ::close(Reader);
    }

    // Until the pipe has a reader, the encoder's start waits in opening it.
    bool OpenReader() {
        Reader = ::open(Pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        return Reader >= 0;
    }

    void Export(const fs::path& source) {
        ChainControls controls;
        controls.Path = source.string();
        Result = Run->Button5Click(controls);
        Ended = true;
    }

    // True once the encoder has written audio past the header.
    bool Writing() const {
        int queued = 0;
        return ::ioctl(Reader, FIONREAD, &queued) == 0 && queued > 44;
    }

    // Everything the encoder wrote, read as it comes until the run has ended.
    std::string Drain() {
        std::string bytes;
        char buffer[65536];
        while (true) {
            const bool ended = Ended.load();
            for (ssize_t n; (n = ::read(Reader, buffer, sizeof buffer)) > 0;)
                bytes.append(buffer, static_cast<std::size_t>(n));
            if (ended)
                return bytes;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    fs::path Pipe;
    ReduceParams Params;
    ReduceProcessor Processor{Params};
    OutputTap Tap;
    StreamChain Chain{Processor, Tap};
    TExportState State;
    CountingView View;
    std::unique_ptr<TExportRun> Run;
    TExportResult Result;
    std::atomic<bool> Ended{false};
    int Reader = -1;
};

// Waits up to a minute; false if the condition never held.
template <typename Condition> bool WaitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// The small run's encoder start is held (its pipe has no reader) until the large run has
// built its chain, started its encoder and pulled everything: a limit taken from a
// process-wide setting at the start would then be whatever the large run left there.
TEST(ExportQueueLimit, OverlappingRunsOnWorkersEachKeepTheirOwn) {
    TempFolder dir;
    const fs::path source = dir / "source.wav";
    constexpr int kRate = 44100;
    constexpr std::int64_t kPairs = kRate * 5; // ten half-second blocks
    constexpr int kAllBlocks = 10;
    WriteWav(source, TestSignal(kRate, kPairs), 2, kRate);

    // Small: one block in the pipe and one queued, then writing waits. Large: room for the
    // whole output, so every block is pulled without a reader.
    PipedRun small(dir / "small", 16u << 10);
    PipedRun large(dir / "large", 8u << 20);
    ASSERT_TRUE(large.OpenReader());

    std::thread smallWorker([&] { small.Export(source); });
    EXPECT_TRUE(WaitFor([&] { return small.Chain.dwOutStream() != 0; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // into the encoder's start
    std::thread largeWorker([&] { large.Export(source); });
    EXPECT_TRUE(WaitFor([&] { return large.Writing() && large.View.Blocks >= kAllBlocks; }));

    const bool smallOpened = small.OpenReader();
    EXPECT_TRUE(smallOpened);
    if (smallOpened) {
        EXPECT_TRUE(WaitFor([&] { return small.Writing(); }));
        // Time to run ahead, which only a wrong limit would allow.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_LE(small.View.Blocks.load(), 2) << "the small run wrote past its limit";
    }

    std::string smallOutput, largeOutput;
    std::thread drainLarge([&] { largeOutput = large.Drain(); });
    if (smallOpened)
        smallOutput = small.Drain();
    drainLarge.join();
    smallWorker.join();
    largeWorker.join();

    for (const PipedRun* run : {&small, &large}) {
        EXPECT_EQ(run->Result.Outcome, TExportOutcome::Completed) << run->Result.Message;
        EXPECT_EQ(run->Result.BytesWritten, kPairs * 4);
    }
    EXPECT_EQ(largeOutput.size(), 44 + static_cast<std::size_t>(kPairs) * 4);
    EXPECT_EQ(smallOutput, largeOutput);
}

} // namespace
