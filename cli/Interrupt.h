#pragma once
// Ctrl+C for a batch. The first SIGINT or SIGTERM only sets a flag, which every running
// export reads between blocks, so that it closes its output and reports an abort; a second
// one ends the process at once. Either way the process ends with 128 + the signal's number
// (130 for Ctrl+C, 143 for SIGTERM), so that a shell loop around the command stops too.
//
// The signals are taken by a watcher thread and ignored by the process itself, so that the
// encoder programs started for the exports, which share the terminal's process group and
// inherit the ignoring, are not killed by the terminal's Ctrl+C: each one finishes its file
// when its input is closed.
//
// Threads: InstallInterruptHandler on the main thread before any other thread is started
// (the threads started later inherit the blocked signals); the flag from any thread.
#include <atomic>

namespace corvanel::cli {

void InstallInterruptHandler();
std::atomic<bool>& InterruptFlag();
// The first signal received; 0 while none was.
int InterruptSignal();

} // namespace corvanel::cli
