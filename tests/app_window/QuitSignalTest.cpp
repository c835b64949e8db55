// The program as a process: the signals of a logout, a service stop or Ctrl+C close it like
// the window's close box does (settings saved, exit status 0).
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

// The signals the process handles itself, from /proc (bit n-1 for signal n).
unsigned long long CaughtSignals(qint64 pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0)
            return std::stoull(line.substr(7), nullptr, 16);
    return 0;
}

class QuitSignal : public ::testing::TestWithParam<int> {};

TEST_P(QuitSignal, ClosesTheWindowSavingTheSettingsAndExitsZero) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::filesystem::path settings =
        folder.filePath(QStringLiteral("corvanel.ini")).toStdString();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    environment.insert(QStringLiteral("CORVANEL_SETTINGS"), QString::fromStdString(settings));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProgram(QStringLiteral(CORVANEL_PROGRAM));
    program.start();
    ASSERT_TRUE(program.waitForStarted(10'000));

    // Started once the program catches all three (a signal sooner would meet the default).
    const unsigned long long wanted =
        (1ull << (SIGHUP - 1)) | (1ull << (SIGINT - 1)) | (1ull << (SIGTERM - 1));
    const auto limit = std::chrono::steady_clock::now() + 20s;
    while ((CaughtSignals(program.processId()) & wanted) != wanted &&
           std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(20ms);
    ASSERT_EQ(CaughtSignals(program.processId()) & wanted, wanted)
        << "the program does not take SIGHUP, SIGINT and SIGTERM itself";

    ::kill(static_cast<pid_t>(program.processId()), GetParam());
    const bool ended = program.waitForFinished(20'000);
    if (!ended)
        program.kill();
    ASSERT_TRUE(ended) << "still running after the signal";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(std::filesystem::exists(settings));
}

INSTANTIATE_TEST_SUITE_P(Signals, QuitSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& p) {
                             return std::string(p.param == SIGTERM  ? "SIGTERM"
                                                : p.param == SIGINT ? "SIGINT"
                                                                    : "SIGHUP");
                         });

} // namespace
