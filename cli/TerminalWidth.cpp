#include "cli/TerminalWidth.h"

#include <atomic>
#include <signal.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace corvanel::cli {

namespace {

std::atomic<int> gColumns{80};

void ReadWidth(int fd) {
    winsize size{};
    if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        gColumns.store(size.ws_col);
}

} // namespace

bool WatchTerminalWidth(int fd) {
    if (isatty(fd) != 1)
        return false;
    ReadWidth(fd);
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGWINCH);
    // Blocked rather than handled, so that no call on another thread is interrupted.
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // Started with every signal blocked, like the interrupt watcher.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    std::thread([signals, fd] {
        int received = 0;
        while (sigwait(&signals, &received) == 0)
            ReadWidth(fd);
    }).detach();
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return true;
}

int TerminalWidth() {
    return gColumns.load();
}

} // namespace corvanel::cli
