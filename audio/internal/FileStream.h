// A stream decoding a file (FileDecoder) to 16-bit interleaved samples at the file's own rate
// and channel count.
//
// The length is the container's figure until the end is reached, then the exact decoded
// length; it is never less than the position, so position / length reaches 1 exactly at the end.
// Threads: as Channel.
#pragma once

#include "audio/internal/Channel.h"
#include "audio/internal/FileDecoder.h"

#include <atomic>
#include <memory>
#include <string>

namespace corvanel::audio {

class FileStream final : public Channel {
  public:
    // Null with the error code set when this opener does not handle the file.
    static std::shared_ptr<FileStream> open(const std::string& utf8Path, OpenerKind kind,
                                            uint32_t flags);

    bool length(int64_t& bytes) override;
    // The UTF-8 path the stream was opened with (for the tag reader).
    const std::string& path() const { return path_; }
    // Whether the data ended before the end of the file, on data that could not be read or
    // decoded. Reset by a seek.
    bool stoppedEarly() const { return stoppedEarly_; }

  protected:
    int64_t produce(uint8_t* out, size_t bytes) override;
    bool seekLocked(int64_t bytes) override;
    int64_t decodedPosition() const override { return positionFrames_ * frameBytes(); }
    void closeLocked() override;

  private:
    FileStream(std::unique_ptr<FileDecoder> decoder, std::string path, OpenerKind kind,
               uint32_t flags);

    std::unique_ptr<FileDecoder> decoder_; // empty once the stream is freed
    const std::string path_;
    const OpenerKind kind_;
    const int64_t estimatedFrames_;
    std::atomic<int64_t> positionFrames_{0};
    std::atomic<int64_t> endFrames_{-1}; // known once the end was reached
    std::atomic<bool> stoppedEarly_{false};
};

} // namespace corvanel::audio
