#include "cli/Interrupt.h"

#include <signal.h>
#include <thread>
#include <unistd.h>

namespace corvanel::cli {

namespace {
std::atomic<bool> gInterrupted{false};
std::atomic<int> gSignal{0};
} // namespace

void InstallInterruptHandler() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // Ignored here and so in every child; while blocked, Linux still queues them for sigwait.
    signal(SIGINT, SIG_IGN);
    signal(SIGTERM, SIG_IGN);
    // The watcher starts with every signal blocked, so that none meant for another watcher
    // (the terminal's resize) is taken and lost here.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    std::thread([signals] {
        int received = 0;
        if (sigwait(&signals, &received) != 0)
            return;
        gSignal.store(received);
        gInterrupted.store(true);
        if (sigwait(&signals, &received) == 0)
            _exit(128 + received);
    }).detach();
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

std::atomic<bool>& InterruptFlag() {
    return gInterrupted;
}

int InterruptSignal() {
    return gSignal.load();
}

} // namespace corvanel::cli
