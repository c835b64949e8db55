#pragma once
// The whole command: parse, plan, run the batch, report, and the exit status.
//
// Threads: the calling thread runs the first job itself; the others run on workers.
#include <atomic>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace corvanel::cli {

inline constexpr int kExitWritten = 0; // every file written
inline constexpr int kExitFailed = 1;  // a file failed, was aborted or not started
inline constexpr int kExitUsage = 2;   // nothing was run
// After SIGINT or SIGTERM the program ends with 128 + the signal's number instead.

struct TCliEnvironment {
    std::filesystem::path ExecutableFolder; // where addon.win is
    bool Terminal = false;                  // progress bars on `err`
    int Columns = 80;
    std::function<int()> ColumnsNow;    // the width after a resize; empty: Columns throughout
    bool InputTerminal = false;         // standard input is a terminal: "-" is refused
    bool OutputTerminal = false;        // standard output is a terminal: "-o -" is refused
    std::atomic<bool>* Abort = nullptr; // set to stop the batch (Ctrl+C)
};

// args without the program name. Help and version go to `out`; progress, results and
// errors to `err`.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const TCliEnvironment& env);

} // namespace corvanel::cli
