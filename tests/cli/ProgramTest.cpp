// The program as a terminal, a shell loop and an encoder see it: the screen a run leaves on a
// narrow terminal, a terminal that cannot move the cursor, what an encoder says on its standard
// error, and the exit status after a signal.
#include "tests/cli/TestFiles.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace corvanel::cli {
namespace {

namespace fs = std::filesystem;

// A terminal screen of fixed width, kept whole (scrolled-off rows stay), that understands what
// the program writes: text with automatic wrapping, CR, LF, cursor up (CSI n A) and erase to
// the end of the screen (CSI J). Its own idea of wide characters: the kana and kanji blocks.
class TScreen {
  public:
    TScreen(int columns, int rows) : FColumns(columns), FRows(rows), FLines(1) {}

    void Feed(const std::string& bytes) {
        for (std::size_t i = 0; i < bytes.size();) {
            const auto c = static_cast<unsigned char>(bytes[i]);
            if (c == 0x1b && i + 1 < bytes.size() && bytes[i + 1] == '[') {
                std::size_t end = i + 2;
                while (end < bytes.size() && (bytes[end] < 0x40 || bytes[end] > 0x7e))
                    ++end;
                const std::string params = bytes.substr(i + 2, end - i - 2);
                Control(end < bytes.size() ? bytes[end] : '\0', params);
                i = end + 1;
            } else if (c == '\r') {
                FColumn = 0;
                FPendingWrap = false;
                ++i;
            } else if (c == '\n') {
                LineFeed();
                ++i;
            } else if (c < 0x20) {
                ++i;
            } else {
                const std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
                Put(bytes.substr(i, length));
                i += length;
            }
        }
    }

    // Every row with its trailing blanks removed; empty rows left out.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const auto& row : FLines) {
            std::string text;
            for (const auto& cell : row)
                text += cell.empty() ? std::string(" ") : cell == kWideTail ? "" : cell;
            text.erase(text.find_last_not_of(' ') + 1);
            if (!text.empty())
                lines.push_back(text);
        }
        return lines;
    }

  private:
    static constexpr const char* kWideTail = "\x01";

    static int Width(const std::string& character) {
        if (character.size() < 3)
            return 1;
        const auto b = [&](std::size_t k) { return static_cast<unsigned char>(character[k]); };
        const char32_t c = ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
        return (c >= 0x3000 && c <= 0x9FFF) || (c >= 0xFF01 && c <= 0xFF60) ? 2 : 1;
    }

    std::vector<std::string>& Row() {
        auto& row = FLines[FTop + FRow];
        row.resize(static_cast<std::size_t>(FColumns));
        return row;
    }

    void LineFeed() {
        FPendingWrap = false;
        if (FRow == FRows - 1)
            ++FTop;
        else
            ++FRow;
        if (FLines.size() <= static_cast<std::size_t>(FTop + FRow))
            FLines.resize(static_cast<std::size_t>(FTop + FRow + 1));
    }

    void Put(const std::string& character) {
        const int width = Width(character);
        if (FPendingWrap || FColumn + width > FColumns) {
            LineFeed();
            FColumn = 0;
        }
        auto& row = Row();
        row[static_cast<std::size_t>(FColumn)] = character;
        if (width == 2)
            row[static_cast<std::size_t>(FColumn + 1)] = kWideTail;
        FColumn += width;
        if (FColumn >= FColumns) {
            FColumn = FColumns - 1;
            FPendingWrap = true;
        }
    }

    void Control(char final, const std::string& params) {
        FPendingWrap = false;
        const int n = params.empty() ? 1 : std::atoi(params.c_str());
        if (final == 'A') {
            FRow = std::max(0, FRow - n);
        } else if (final == 'J') {
            auto& row = Row();
            for (std::size_t k = static_cast<std::size_t>(FColumn); k < row.size(); ++k)
                row[k].clear();
            for (std::size_t r = static_cast<std::size_t>(FTop + FRow) + 1; r < FLines.size(); ++r)
                FLines[r].clear();
        }
    }

    const int FColumns;
    const int FRows;
    std::vector<std::vector<std::string>> FLines; // every row since the start
    int FTop = 0;                                 // the row at the top of the screen
    int FRow = 0, FColumn = 0;                    // the cursor, on the screen
    bool FPendingWrap = false;
};

struct TRun {
    int Status = -1;
    std::string Output; // what reached the terminal (or the standard error file)
};

// The program in `dir` on a terminal of `columns` columns with TERM set to `term`.
TRun RunOnTerminal(const fs::path& dir, const std::vector<std::string>& args, const char* term,
                   int columns) {
    std::vector<std::string> argv{CORVANEL_CLI_PROGRAM};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> argp;
    for (auto& a : argv)
        argp.push_back(a.data());
    argp.push_back(nullptr);
    std::string termVar = std::string("TERM=") + term;
    std::string langVar = "LANG=C.UTF-8";
    char* envp[] = {termVar.data(), langVar.data(), nullptr};

    winsize size{};
    size.ws_col = static_cast<unsigned short>(columns);
    size.ws_row = 24;
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, &size);
    if (pid == 0) {
        if (chdir(dir.c_str()) == 0)
            execve(argp[0], argp.data(), envp);
        _exit(127);
    }
    TRun run;
    if (pid < 0)
        return run;
    char chunk[4096];
    for (;;) {
        const ssize_t n = read(master, chunk, sizeof chunk);
        if (n <= 0)
            break; // EIO once the program and its terminal are gone
        run.Output.append(chunk, static_cast<std::size_t>(n));
    }
    close(master);
    int raw = 0;
    waitpid(pid, &raw, 0);
    run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

class ProgramTest : public ::testing::Test {
  protected:
    test::TempFolder FFolder;
    const fs::path FDir = FFolder.Path();

    fs::path P(const std::string& rel) const { return FDir / rel; }
};

// 36 characters, 72 columns: wider than the whole terminal.
const std::string kLongName =
    "とても長い日本語のファイル名を持つ歌の録音データですボーカルを消してみる";

TEST_F(ProgramTest, ANarrowTerminalKeepsOnlyFinishedLinesAndOneSummary) {
    const std::vector<std::string> inputs{kLongName + ".wav", "二曲目" + kLongName + ".wav"};
    for (std::uint32_t i = 0; i < inputs.size(); ++i)
        WriteWav(P(inputs[i]), 2, 44100, 30.0, i + 1);

    const TRun run = RunOnTerminal(FDir, {"-j", "2", inputs[0], inputs[1]}, "xterm", 60);
    ASSERT_EQ(run.Status, 0) << run.Output;
    // Bars were drawn and redrawn in place, not only the finished lines written.
    ASSERT_NE(run.Output.find("\x1b[2A"), std::string::npos) << run.Output;

    TScreen screen(60, 24);
    screen.Feed(run.Output);
    int summaries = 0;
    std::string shown;
    for (const auto& line : screen.Lines()) {
        shown += line + "\n";
        EXPECT_TRUE(line.front() != '[' && line.find('%') == std::string::npos)
            << "a bar was left on the screen:\n"
            << line;
        summaries += line.find("2 files: 2 written") != std::string::npos;
    }
    EXPECT_EQ(summaries, 1) << shown;
    for (const auto& input : inputs)
        EXPECT_NE(shown.find("written  " + input.substr(0, 30)), std::string::npos) << shown;
}

TEST_F(ProgramTest, ADumbTerminalGetsOneLinePerFile) {
    WriteWav(P("a.wav"), 2, 44100, 5.0);
    WriteWav(P(kLongName + ".wav"), 2, 44100, 5.0, 2);
    const TRun run = RunOnTerminal(FDir, {"-j", "1", "a.wav", kLongName + ".wav"}, "dumb", 60);
    ASSERT_EQ(run.Status, 0) << run.Output;
    EXPECT_EQ(run.Output.find('\x1b'), std::string::npos) << run.Output;
    EXPECT_EQ(run.Output.find("[--"), std::string::npos) << run.Output;
    EXPECT_EQ(run.Output.rfind("written  a.wav -> a_vr.wav", 0), 0u) << run.Output;
    EXPECT_NE(run.Output.find("\r\nwritten  " + kLongName + ".wav -> "), std::string::npos)
        << run.Output;
    EXPECT_NE(run.Output.find("\r\n2 files: 2 written"), std::string::npos) << run.Output;
}

// A copy of the program whose encoder catalogue lists stand-in encoders: shell scripts that
// read their input, say something on standard error and end with a chosen status.
class StandInTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        fs::create_directories(P("bin/addon.win"));
        fs::copy_file(CORVANEL_CLI_PROGRAM, P("bin/corvanel-cli"));
        std::ofstream(P("bin/addon.win/encoder.inf"))
            << "[ENCODERS]\nquiet.sh=OK\nfails.sh=Fails\nslow.sh=Slow\n"
               "[EXTENSION]\nquiet.sh=.ok\nfails.sh=.bad\nslow.sh=.slow\n"
               "[PARAMETER-MD]\nquiet.sh=<OUTPUT>\nfails.sh=<OUTPUT>\nslow.sh=<OUTPUT>\n";
        Script("quiet.sh", "cat > \"$1\"\necho 'WARNING: libsndfile may ignore -r' >&2\n"
                           "echo 'second remark' >&2\n");
        Script("fails.sh", "cat > \"$1\"\necho 'first complaint' >&2\n"
                           "printf 'progress 10%%\\rprogress 20%%\\r' >&2\n"
                           "echo 'cannot write the stream: disk full' >&2\nexit 3\n");
        // Says when it runs (the program is then ready for signals) and is slow enough that
        // a signal comes while the export waits for it to read.
        Script("slow.sh", "touch started\nsleep 1\ncat > \"$1\"\n");
    }

    void Script(const std::string& name, const std::string& body) {
        const fs::path path = P("bin/addon.win/" + name);
        std::ofstream(path) << "#!/bin/sh\n" << body;
        fs::permissions(path, fs::perms::owner_all);
    }

    // The program, no terminal anywhere; standard error kept.
    pid_t Start(const std::string& args) const {
        const pid_t pid = fork();
        if (pid == 0) {
            const std::string command = "cd '" + FDir.string() + "' && exec bin/corvanel-cli " +
                                        args + " </dev/null >/dev/null 2>stderr.txt";
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return pid;
    }
    TRun Finish(pid_t pid) const {
        int raw = 0;
        waitpid(pid, &raw, 0);
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadFile(P("stderr.txt"))};
    }
};

TEST_F(StandInTest, AnEncodersStandardErrorIsShownOnlyWhenItsFileFails) {
    WriteWav(P("a.wav"), 2, 44100, 1.0);
    TRun run = Finish(Start("-f ok a.wav"));
    EXPECT_EQ(run.Status, 0) << run.Output;
    EXPECT_EQ(run.Output.find("WARNING"), std::string::npos) << run.Output;
    EXPECT_EQ(run.Output.find("remark"), std::string::npos) << run.Output;
    EXPECT_EQ(fs::file_size(P("a_vr.ok")), 44100u * 4); // every sample pair reached it

    run = Finish(Start("-f bad a.wav"));
    EXPECT_EQ(run.Status, 1) << run.Output;
    const std::string lines = "FAILED   a.wav: 書き出しに失敗しました。 "
                              "エンコーダーが途中で終了したか、エラーを返しました"
                              "（the encoder ended with exit status 3）\n"
                              "         first complaint\n"
                              "         progress 10%\n"
                              "         progress 20%\n"
                              "         cannot write the stream: disk full\n"
                              "1 file: 0 written, 1 failed";
    EXPECT_NE(run.Output.find(lines), std::string::npos) << run.Output;
}

struct SignalCase {
    const char* Name;
    int Signal;
    int Status;
};

class SignalTest : public StandInTest, public ::testing::WithParamInterface<SignalCase> {};

// 128 + the signal, as shells expect, once the running output is closed.
TEST_P(SignalTest, EndsWithTheShellsStatusForTheSignal) {
    WriteWav(P("long.wav"), 2, 44100, 60.0);
    WriteWav(P("next.wav"), 2, 44100, 1.0, 2);
    const pid_t pid = Start("-j 1 -f slow long.wav next.wav");
    for (int i = 0; i < 1000 && !fs::exists(P("started")); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    kill(pid, GetParam().Signal);
    const TRun run = Finish(pid);
    EXPECT_EQ(run.Status, GetParam().Status) << run.Output;
    EXPECT_NE(run.Output.find("aborted  long.wav"), std::string::npos) << run.Output;
    EXPECT_NE(run.Output.find("skipped  next.wav"), std::string::npos) << run.Output;
    EXPECT_TRUE(fs::exists(P("long_vr.slow")));
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalTest,
                         ::testing::Values(SignalCase{"Interrupt", SIGINT, 130},
                                           SignalCase{"Terminate", SIGTERM, 143}),
                         [](const auto& param) { return std::string(param.param.Name); });

} // namespace
} // namespace corvanel::cli
