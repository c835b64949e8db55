#include "audio/encode/Outputs.h"

#include "audio/encode/ChildProcess.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvanel::audio::encode {

namespace {

constexpr std::size_t kProgramLines = 10;
constexpr std::size_t kProgramLineBytes = 300;

// The last lines of a program's standard error as plain text: carriage returns (progress
// meters) end lines too, control characters go, blank lines are dropped.
std::string lastLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (const char c : text) {
        if (c == '\n' || c == '\r') {
            if (!lines.back().empty())
                lines.emplace_back();
        } else if (c == '\t') {
            lines.back() += ' ';
        } else if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
            lines.back() += c;
        }
    }
    std::string kept;
    std::size_t taken = 0;
    for (auto line = lines.rbegin(); line != lines.rend() && taken < kProgramLines; ++line) {
        if (line->find_first_not_of(' ') == std::string::npos)
            continue;
        if (line->size() > kProgramLineBytes) {
            std::size_t cut = kProgramLineBytes;
            while (cut > 0 && (static_cast<unsigned char>((*line)[cut]) & 0xC0) == 0x80)
                --cut;
            line->resize(cut);
        }
        kept = *line + (kept.empty() ? "" : "\n") + kept;
        ++taken;
    }
    return kept;
}

class ProgramOutput final : public EncoderOutput {
  public:
    explicit ProgramOutput(ChildProcess child) : child_(std::move(child)) {}

    EncodeResult write(std::span<const std::byte> bytes) override {
        const std::error_code ec = child_.writeStdin(bytes);
        if (!ec)
            return {};
        if (ec == std::errc::broken_pipe)
            return EncodeResult::failure(EncodeFault::BrokenPipe,
                                         "the encoder stopped reading its input");
        return EncodeResult::failure(EncodeFault::WriteFailed, ec.message());
    }

    // What the program said comes back with success too: the queue may still fail the
    // output for a pipe the program stopped reading.
    EncodeResult finish() override {
        const ExitStatus status = child_.wait();
        EncodeResult result;
        if (!status.success())
            result = EncodeResult::failure(EncodeFault::ProgramFailed,
                                           "the encoder ended with " + status.describe());
        result.programMessages = lastLines(child_.capturedStderr());
        return result;
    }

  private:
    ChildProcess child_;
};

// A pipe or a terminal: no going back to the header, so it says "length unknown".
class StreamOutput final : public EncoderOutput {
  public:
    explicit StreamOutput(int fd) : fd_(fd) {}
    ~StreamOutput() override {
        if (fd_ >= 0)
            close(fd_);
    }
    StreamOutput(const StreamOutput&) = delete;
    StreamOutput& operator=(const StreamOutput&) = delete;

    EncodeResult write(std::span<const std::byte> bytes) override {
        const std::byte* p = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(fd_, p, left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return EncodeResult::failure(EncodeFault::WriteFailed,
                                             std::generic_category().message(errno));
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        return {};
    }

    EncodeResult finish() override {
        const int fd = fd_;
        fd_ = -1;
        if (fd >= 0 && close(fd) != 0 && errno != EINTR)
            return EncodeResult::failure(EncodeFault::WriteFailed,
                                         std::generic_category().message(errno));
        return {};
    }

  private:
    int fd_;
};

bool isStream(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 &&
           (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISSOCK(st.st_mode));
}

class FileOutput final : public EncoderOutput {
  public:
    explicit FileOutput(WavFileWriter writer) : writer_(std::move(writer)) {}

    EncodeResult write(std::span<const std::byte> bytes) override {
        std::string why;
        if (writer_.write(bytes, why))
            return {};
        return EncodeResult::failure(EncodeFault::WriteFailed, why);
    }

    EncodeResult finish() override {
        std::string why;
        if (writer_.close(why))
            return {};
        return EncodeResult::failure(EncodeFault::WriteFailed, why);
    }

  private:
    WavFileWriter writer_;
};

} // namespace

std::unique_ptr<EncoderOutput> startProgramOutput(const std::vector<std::string>& argv,
                                                  EncodeResult& result) {
    std::error_code ec;
    ChildProcess child = ChildProcess::start(argv, ec, ChildProcess::Stderr::Capture);
    if (child.empty()) {
        const std::string program = argv.empty() ? std::string() : argv.front();
        result = EncodeResult::failure(EncodeFault::CannotStart,
                                       "cannot start \"" + program + "\": " + ec.message());
        return nullptr;
    }
    result = {};
    return std::make_unique<ProgramOutput>(std::move(child));
}

std::unique_ptr<EncoderOutput> createFileOutput(const std::filesystem::path& path, int sampleRate,
                                                int channels, WavFileWriter::Container container,
                                                EncodeResult& result) {
    if (isStream(path)) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) {
            result = EncodeResult::failure(EncodeFault::CannotCreate,
                                           "cannot open \"" + path.string() +
                                               "\": " + std::generic_category().message(errno));
            return nullptr;
        }
        auto output = std::make_unique<StreamOutput>(fd);
        if (container == WavFileWriter::Container::Wave) {
            const EncodeResult header = output->write(streamingWavHeader(
                static_cast<std::uint32_t>(sampleRate), static_cast<std::uint32_t>(channels)));
            if (!header.ok()) {
                result = EncodeResult::failure(EncodeFault::CannotCreate,
                                               "cannot write to \"" + path.string() +
                                                   "\": " + header.detail);
                return nullptr;
            }
        }
        result = {};
        return output;
    }
    std::string why;
    WavFileWriter writer = WavFileWriter::create(path, sampleRate, channels, container, why);
    if (writer.empty()) {
        result = EncodeResult::failure(EncodeFault::CannotCreate,
                                       "cannot create \"" + path.string() + "\": " + why);
        return nullptr;
    }
    result = {};
    return std::make_unique<FileOutput>(std::move(writer));
}

} // namespace corvanel::audio::encode
