// corvanel-cli: the export run without a window, for batches.
#include "cli/CliMain.h"
#include "cli/Interrupt.h"
#include "cli/TerminalText.h"
#include "cli/TerminalWidth.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <unistd.h>

int main(int argc, char** argv) {
    // Before any thread starts, so that every thread inherits the blocked signals.
    corvanel::cli::InstallInterruptHandler();
    const bool terminal = corvanel::cli::WatchTerminalWidth(STDERR_FILENO);
    // A reader of standard output that went away fails that file's export instead of ending
    // the batch on the spot.
    signal(SIGPIPE, SIG_IGN);

    std::vector<std::string> args(argv + 1, argv + argc);

    corvanel::cli::TCliEnvironment env;
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv[0], ec);
    env.ExecutableFolder = exe.parent_path();
    env.Terminal = terminal && corvanel::cli::CursorCanMove(std::getenv("TERM"));
    env.Columns = corvanel::cli::TerminalWidth();
    env.ColumnsNow = corvanel::cli::TerminalWidth;
    env.InputTerminal = isatty(STDIN_FILENO) == 1;
    env.OutputTerminal = isatty(STDOUT_FILENO) == 1;
    env.Abort = &corvanel::cli::InterruptFlag();

    const int status = corvanel::cli::RunCli(args, std::cout, std::cerr, env);
    // The shell's convention after a signal, so that a loop over files stops as well.
    if (const int received = corvanel::cli::InterruptSignal(); received != 0)
        return 128 + received;
    return status;
}
