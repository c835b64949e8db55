#pragma once
// The width of the terminal a batch draws its progress on, kept current while the window is
// resized: SIGWINCH is taken by a watcher thread, which reads the width again.
//
// Threads: WatchTerminalWidth on the main thread before any other thread is started (the
// threads started later inherit the blocked signal); TerminalWidth from any thread.

namespace corvanel::cli {

// Starts following the terminal on `fd`; false when it is not a terminal.
bool WatchTerminalWidth(int fd);
// Columns of that terminal; 80 when it gives none.
int TerminalWidth();

} // namespace corvanel::cli
