#include "audio/encode/ChildProcess.h"
#include "tests/audio_encode/TestSupport.h"
#include "audio/encode/EncodeQueue.h"
#include "audio/encode/Outputs.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <numeric>
#include <unistd.h>

#include <gtest/gtest.h>

namespace corvanel::audio::encode {
namespace {

using test::TempFolder;

std::vector<std::byte> pattern(std::size_t n) {
    std::vector<std::byte> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<std::byte>((i * 7 + i / 251) & 0xFF);
    return v;
}

TEST(ChildProcess, FeedsStdinAndPassesArgumentsUntouched) {
    TempFolder dir;
    const auto script = dir / "enc";
    test::writeScript(script, test::recordBody());
    const std::vector<std::string> argv{script.string(), "a b", "", "$(touch pwned)", "x\ny"};

    std::error_code ec;
    ChildProcess child = ChildProcess::start(argv, ec);
    ASSERT_FALSE(child.empty()) << ec.message();
    const auto data = pattern(300000); // several pipe buffers
    EXPECT_FALSE(child.writeStdin(data));
    const ExitStatus status = child.wait();
    EXPECT_TRUE(status.success()) << status.describe();

    const std::vector<std::string> expected(argv.begin() + 1, argv.end());
    EXPECT_EQ(test::readRecordedArgs(script), expected);
    EXPECT_EQ(test::ReadFile(script.string() + ".bytes"),
              std::string(reinterpret_cast<const char*>(data.data()), data.size()));
    EXPECT_FALSE(std::filesystem::exists(dir / "pwned"));
}

struct StartFailure {
    const char* name;
    std::errc expected;
};

class ChildProcessStart : public ::testing::TestWithParam<StartFailure> {};

TEST_P(ChildProcessStart, ReportsWhyTheProgramCouldNotStart) {
    TempFolder dir;
    std::filesystem::path program = dir / "missing";
    if (GetParam().expected == std::errc::permission_denied) {
        program = dir / "not-executable";
        test::writeScript(program, "exit 0");
        std::filesystem::permissions(program, std::filesystem::perms::owner_read |
                                                  std::filesystem::perms::owner_write);
    }
    std::error_code ec;
    ChildProcess child = ChildProcess::start({program.string()}, ec);
    EXPECT_TRUE(child.empty());
    EXPECT_EQ(ec, GetParam().expected) << ec.message();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChildProcessStart,
    ::testing::Values(StartFailure{"Missing", std::errc::no_such_file_or_directory},
                      StartFailure{"NotExecutable", std::errc::permission_denied}),
    [](const auto& tpi) { return std::string(tpi.param.name); });

TEST(ChildProcess, ReaderGoneIsBrokenPipeAndNoSignal) {
    TempFolder dir;
    const auto script = dir / "quits";
    test::writeScript(script, "exit 0");
    std::error_code ec;
    ChildProcess child = ChildProcess::start({script.string()}, ec);
    ASSERT_FALSE(child.empty());
    // More than a pipe holds, so the write must meet the closed end whenever the child quits.
    EXPECT_EQ(child.writeStdin(pattern(1 << 20)), std::errc::broken_pipe);

    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    EXPECT_EQ(sigismember(&pending, SIGPIPE), 0) << "SIGPIPE left pending";
    EXPECT_TRUE(child.wait().success());
}

TEST(ChildProcess, ChildDoesNotInheritAnIgnoredSigpipe) {
    // A process that ignores SIGPIPE must still start encoders with default handling.
    TempFolder dir;
    const auto script = dir / "sig";
    test::writeScript(script, "grep SigIgn /proc/self/status > \"$0.bytes\"");
    struct sigaction old {};
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &old);
    std::error_code ec;
    ChildProcess child = ChildProcess::start({script.string()}, ec);
    sigaction(SIGPIPE, &old, nullptr);
    ASSERT_FALSE(child.empty());
    ASSERT_TRUE(child.wait().success());
    const std::string line = test::ReadFile(script.string() + ".bytes");
    const unsigned long long mask = std::stoull(line.substr(line.find(':') + 1), nullptr, 16);
    EXPECT_EQ(mask & (1ULL << (SIGPIPE - 1)), 0u) << line;
}

TEST(ChildProcess, InheritsOnlyTheStandardDescriptors) {
    TempFolder dir;
    const auto script = dir / "fds";
    test::writeScript(script, "ls /proc/$$/fd > \"$0.bytes\"");
    // Opened without close-on-exec, at a number no shell uses for itself.
    const int opened = open("/dev/null", O_RDONLY);
    const int leaked = dup2(opened, 200);
    close(opened);
    ASSERT_EQ(leaked, 200);
    std::error_code ec;
    ChildProcess child = ChildProcess::start({script.string()}, ec);
    ASSERT_FALSE(child.empty());
    ASSERT_TRUE(child.wait().success());
    close(leaked);
    std::string listed = test::ReadFile(script.string() + ".bytes");
    std::vector<int> fds;
    for (std::size_t pos = 0; pos < listed.size();) {
        const std::size_t end = listed.find('\n', pos);
        fds.push_back(std::stoi(listed.substr(pos, end - pos)));
        pos = end == std::string::npos ? listed.size() : end + 1;
    }
    ASSERT_FALSE(fds.empty());
    EXPECT_EQ(std::count(fds.begin(), fds.end(), leaked), 0) << listed;
}

// A program that says a lot before it reads its input does not wait on a full pipe, and the
// last part of what it said is kept.
TEST(ChildProcess, CapturedStderrKeepsItsLastPart) {
    TempFolder dir;
    const auto script = dir / "chatty";
    test::writeScript(script, "i=0\nwhile [ $i -lt 5000 ]; do echo \"remark $i\" >&2; "
                              "i=$((i+1)); done\ncat > /dev/null\necho 'last words' >&2");
    std::error_code ec;
    ChildProcess child = ChildProcess::start({script.string()}, ec, ChildProcess::Stderr::Capture);
    ASSERT_FALSE(child.empty()) << ec.message();
    EXPECT_FALSE(child.writeStdin(pattern(100000)));
    EXPECT_TRUE(child.wait().success());
    const std::string said = child.capturedStderr();
    EXPECT_EQ(said.size(), ChildProcess::kCapturedBytes);
    EXPECT_EQ(said.substr(said.size() - 23), "remark 4999\nlast words\n");
}

TEST(ChildProcess, ExitStatusAndSignalAreReported) {
    TempFolder dir;
    const auto fails = dir / "fails";
    test::writeScript(fails, "exit 3");
    const auto killed = dir / "killed";
    test::writeScript(killed, "kill -TERM $$");
    std::error_code ec;

    ChildProcess a = ChildProcess::start({fails.string()}, ec);
    const ExitStatus sa = a.wait();
    EXPECT_TRUE(sa.exited);
    EXPECT_EQ(sa.code, 3);
    EXPECT_FALSE(sa.success());

    ChildProcess b = ChildProcess::start({killed.string()}, ec);
    const ExitStatus sb = b.wait();
    EXPECT_FALSE(sb.exited);
    EXPECT_EQ(sb.signalNumber, SIGTERM);
    EXPECT_FALSE(sb.success());
}

TEST(ChildProcess, MovedFromOwnsNothingAndDestructorReaps) {
    TempFolder dir;
    const auto script = dir / "enc";
    test::writeScript(script, test::recordBody());
    std::error_code ec;
    ChildProcess a = ChildProcess::start({script.string()}, ec);
    const pid_t pid = a.pid();
    ChildProcess b = std::move(a);
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(b.pid(), pid);
    {
        ChildProcess c = std::move(b);
        ASSERT_FALSE(c.writeStdin(pattern(10)));
    } // closes input, waits
    EXPECT_EQ(test::ReadFile(script.string() + ".bytes").size(), 10u);
    EXPECT_EQ(kill(pid, 0), -1) << "child was not reaped";
}

} // namespace
} // namespace corvanel::audio::encode
