#include "Outputs.h"

#include "ChildProcess.h"

#include <system_error>

namespace corvanel::audio::encode {

namespace {

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

    EncodeResult finish() override {
        const ExitStatus status = child_.wait();
        if (status.success())
            return {};
        return EncodeResult::failure(EncodeFault::ProgramFailed,
                                     "the encoder ended with " + status.describe());
    }

  private:
    ChildProcess child_;
};

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
    ChildProcess child = ChildProcess::start(argv, ec);
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
