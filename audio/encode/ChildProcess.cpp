#include "audio/encode/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <mutex>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace corvanel::audio::encode {

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

// Holds SIGPIPE blocked on the calling thread for one write, and swallows the SIGPIPE that a
// failed write raised, so that a dead encoder cannot end this process.
class SigpipeGuard {
  public:
    SigpipeGuard() {
        sigemptyset(&pipeSet_);
        sigaddset(&pipeSet_, SIGPIPE);
        sigset_t pending;
        sigemptyset(&pending);
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipeSet_, &oldMask_);
    }
    ~SigpipeGuard() {
        if (raised_ && !wasPending_) {
            const timespec zero{0, 0};
            while (sigtimedwait(&pipeSet_, nullptr, &zero) == -1 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &oldMask_, nullptr);
    }
    SigpipeGuard(const SigpipeGuard&) = delete;
    SigpipeGuard& operator=(const SigpipeGuard&) = delete;

    void noteBrokenPipe() { raised_ = true; }

  private:
    sigset_t pipeSet_;
    sigset_t oldMask_;
    bool wasPending_ = false;
    bool raised_ = false;
};

} // namespace

// The reader ends when every holder of the pipe's write end (the program and any program it
// started) has closed it.
struct ChildProcess::Capture {
    explicit Capture(int fd) : reader([this, fd] { read(fd); }) {}
    ~Capture() {
        if (reader.joinable())
            reader.join();
    }

    void read(int fd) {
        char chunk[4096];
        for (;;) {
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            std::lock_guard lock(mutex);
            text.append(chunk, static_cast<std::size_t>(n));
            if (text.size() > kCapturedBytes)
                text.erase(0, text.size() - kCapturedBytes);
        }
        close(fd);
    }

    mutable std::mutex mutex;
    std::string text;
    std::thread reader;
};

std::string ChildProcess::capturedStderr() const {
    if (!capture_)
        return {};
    std::lock_guard lock(capture_->mutex);
    return capture_->text;
}

std::string ExitStatus::describe() const {
    if (exited)
        return "exit status " + std::to_string(code);
    return "killed by signal " + std::to_string(signalNumber);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), stdinFd_(std::exchange(other.stdinFd_, -1)),
      capture_(std::move(other.capture_)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        release();
        pid_ = std::exchange(other.pid_, -1);
        stdinFd_ = std::exchange(other.stdinFd_, -1);
        capture_ = std::move(other.capture_);
    }
    return *this;
}

ChildProcess::~ChildProcess() {
    release();
}

void ChildProcess::release() {
    if (pid_ > 0)
        wait();
    closeStdin();
    capture_.reset();
}

ChildProcess ChildProcess::start(const std::vector<std::string>& argv, std::error_code& error,
                                 Stderr stderrMode) {
    error.clear();
    if (argv.empty() || argv.front().empty()) {
        error = std::make_error_code(std::errc::invalid_argument);
        return {};
    }

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = lastError();
        return {};
    }
    int errFds[2] = {-1, -1};
    if (stderrMode == Stderr::Capture && pipe2(errFds, O_CLOEXEC) != 0) {
        error = lastError();
        close(fds[0]);
        close(fds[1]);
        return {};
    }

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // dup2 clears close-on-exec on the child's descriptor 0; both pipe ends close at exec.
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    if (errFds[1] >= 0)
        posix_spawn_file_actions_adddup2(&actions, errFds[1], STDERR_FILENO);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // Descriptors that other code opened without close-on-exec stay out of the encoder.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
#endif

    // The child starts with default signal handling and an empty mask, whatever this process
    // ignores or blocks.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    sigset_t emptyMask;
    sigemptyset(&emptyMask);
    posix_spawnattr_setsigmask(&attr, &emptyMask);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    // glibc reports a failed exec as the result of posix_spawn itself.
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, args[0], &actions, &attr, args.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    if (errFds[1] >= 0)
        close(errFds[1]);

    if (rc != 0) {
        close(fds[1]);
        if (errFds[0] >= 0)
            close(errFds[0]);
        error = {rc, std::generic_category()};
        return {};
    }

    ChildProcess child;
    child.pid_ = pid;
    child.stdinFd_ = fds[1];
    if (errFds[0] >= 0)
        child.capture_ = std::make_unique<Capture>(errFds[0]);
    return child;
}

std::error_code ChildProcess::writeStdin(std::span<const std::byte> bytes) {
    if (stdinFd_ < 0)
        return std::make_error_code(std::errc::bad_file_descriptor);
    SigpipeGuard guard;
    const std::byte* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(stdinFd_, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EPIPE)
                guard.noteBrokenPipe();
            return lastError();
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return {};
}

void ChildProcess::closeStdin() {
    if (stdinFd_ >= 0) {
        close(stdinFd_);
        stdinFd_ = -1;
    }
}

ExitStatus ChildProcess::wait() {
    ExitStatus status;
    closeStdin();
    if (pid_ <= 0)
        return status;
    int raw = 0;
    pid_t r;
    do {
        r = waitpid(pid_, &raw, 0);
    } while (r < 0 && errno == EINTR);
    pid_ = -1;
    // Everything the program wrote is read once its end of the pipe is closed.
    if (capture_ && capture_->reader.joinable())
        capture_->reader.join();
    if (r < 0) {
        status.exited = false;
        return status;
    }
    if (WIFEXITED(raw)) {
        status.exited = true;
        status.code = WEXITSTATUS(raw);
    } else if (WIFSIGNALED(raw)) {
        status.signalNumber = WTERMSIG(raw);
    }
    return status;
}

} // namespace corvanel::audio::encode
