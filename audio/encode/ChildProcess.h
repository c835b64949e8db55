// A started program with a pipe to its standard input: the owner of the process and of the
// pipe's write end. Move-only; an empty object owns nothing.
//
// The program is started directly from an argument list (no shell), with its path used as
// given (no search in PATH). Its standard output is inherited; its standard error is
// inherited too, or captured: a thread of the object's own reads it as it comes (so the
// program never waits on a full pipe) and keeps its last part.
// Writes never raise SIGPIPE in this process: a reader that went away is reported as
// std::errc::broken_pipe.
// Threads: one owner thread at a time; the object may be handed to another thread (the
// encoder queue thread writes, the UI thread waits).
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include <sys/types.h>

namespace corvanel::audio::encode {

struct ExitStatus {
    bool exited = false; // ended by exit(): code is valid; otherwise killed by signalNumber
    int code = 0;
    int signalNumber = 0;

    bool success() const { return exited && code == 0; }
    std::string describe() const;
};

class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Closes standard input and waits for a process not yet waited for.
    ~ChildProcess();

    enum class Stderr { Inherit, Capture };

    // argv[0] is the program. On failure returns an empty object and sets error (for example
    // no_such_file_or_directory or permission_denied from the exec).
    static ChildProcess start(const std::vector<std::string>& argv, std::error_code& error,
                              Stderr stderrMode = Stderr::Inherit);

    bool empty() const { return pid_ <= 0; }
    pid_t pid() const { return pid_; }

    // Writes every byte unless the pipe fails; returns the failure.
    std::error_code writeStdin(std::span<const std::byte> bytes);
    // End of input for the program; idempotent.
    void closeStdin();
    // Closes standard input if still open, then waits for the program to end.
    ExitStatus wait();

    // With Stderr::Capture: the last kCapturedBytes the program wrote to its standard error;
    // complete once wait() returned. Empty otherwise.
    static constexpr std::size_t kCapturedBytes = 16384;
    std::string capturedStderr() const;

  private:
    struct Capture;
    void release();

    pid_t pid_ = -1;
    int stdinFd_ = -1;
    std::unique_ptr<Capture> capture_;
};

} // namespace corvanel::audio::encode
