// corvanel-cli: the export run without a window, for batches.
#include "CliMain.h"
#include "Interrupt.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sys/ioctl.h>
#include <system_error>
#include <unistd.h>

int main(int argc, char** argv) {
    // Before any thread starts, so that every thread inherits the blocked signals.
    corvanel::cli::InstallInterruptHandler();

    std::vector<std::string> args(argv + 1, argv + argc);

    corvanel::cli::TCliEnvironment env;
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv[0], ec);
    env.ExecutableFolder = exe.parent_path();
    env.Terminal = isatty(STDERR_FILENO) == 1;
    winsize size{};
    if (env.Terminal && ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        env.Columns = size.ws_col;
    env.Abort = &corvanel::cli::InterruptFlag();

    return corvanel::cli::RunCli(args, std::cout, std::cerr, env);
}
