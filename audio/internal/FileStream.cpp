#include "audio/internal/FileStream.h"

#include <algorithm>
#include <filesystem>

namespace corvanel::audio {

FileStream::FileStream(std::unique_ptr<FileDecoder> decoder, std::string path, OpenerKind kind,
                       uint32_t flags)
    : Channel(decoder->rate(), decoder->channels(), flags, decoder->ctype(), decoder->origres()),
      decoder_(std::move(decoder)), path_(std::move(path)), kind_(kind),
      estimatedFrames_(decoder_->lengthFrames()) {}

std::shared_ptr<FileStream> FileStream::open(const std::string& utf8Path, OpenerKind kind,
                                             uint32_t flags) {
    int error = BASS_OK;
    auto decoder = FileDecoder::open(utf8Path, kind, error);
    if (!decoder) {
        setError(error);
        return nullptr;
    }
    return std::shared_ptr<FileStream>(new FileStream(std::move(decoder), utf8Path, kind, flags));
}

bool FileStream::length(int64_t& bytes) {
    const int64_t end = endFrames_;
    const int64_t frames = end >= 0 ? end : std::max(estimatedFrames_, positionFrames_.load());
    bytes = frames * frameBytes();
    return true;
}

int64_t FileStream::produce(uint8_t* out, size_t bytes) {
    if (!decoder_)
        return -1;
    const size_t n = decoder_->read(reinterpret_cast<int16_t*>(out), bytes / frameBytes());
    if (n == 0) {
        endFrames_ = positionFrames_.load();
        stoppedEarly_ = decoder_->stoppedOnError();
        return -1;
    }
    positionFrames_ += static_cast<int64_t>(n);
    return static_cast<int64_t>(n * frameBytes());
}

bool FileStream::seekLocked(int64_t bytes) {
    if (!decoder_) {
        setError(BASS_ERROR_HANDLE);
        return false;
    }
    const int64_t frame = bytes / frameBytes();
    const int64_t end = endFrames_;
    if (end >= 0 && frame > end) {
        setError(BASS_ERROR_POSITION);
        return false;
    }
    if (!decoder_->seek(frame)) {
        // A container without seeking can still go back to its start by opening it again;
        // a pipe cannot, and opening it again would take data meant for its next reader.
        int error = BASS_OK;
        std::error_code ec;
        const bool file = std::filesystem::is_regular_file(std::filesystem::u8path(path_), ec);
        auto fresh = frame == 0 && file ? FileDecoder::open(path_, kind_, error) : nullptr;
        if (!fresh) {
            setError(BASS_ERROR_POSITION);
            return false;
        }
        decoder_ = std::move(fresh);
    }
    positionFrames_ = frame;
    stoppedEarly_ = false;
    return true;
}

void FileStream::closeLocked() {
    decoder_.reset();
}

} // namespace corvanel::audio
