// Decodes an audio file with FFmpeg into 16-bit interleaved frames at the file's own rate and
// channel count. Each opener kind accepts only its own containers and codecs, so that callers
// can fall back from one opener to the next; a pipe (standard input) cannot be read twice, so
// there the generic opener also takes what the AAC one would.
//
// Positions are in frames (one sample per channel). Not thread-safe: the owning stream calls it
// with its render lock held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace corvanel::audio {

enum class OpenerKind {
    Generic, // WAV, AIFF, MP3/MP2, Ogg (Vorbis, Opus, FLAC), FLAC
    Aac,     // ADTS AAC, MP4/M4A with AAC
    Wma,     // ASF with a WMA codec
};

class FileDecoder {
  public:
    // Null with `error` set to a BASS_ERROR_* code if the file cannot be decoded.
    static std::unique_ptr<FileDecoder> open(const std::string& utf8Path, OpenerKind kind,
                                             int& error);
    ~FileDecoder();
    FileDecoder(const FileDecoder&) = delete;
    FileDecoder& operator=(const FileDecoder&) = delete;

    uint32_t rate() const;
    uint32_t channels() const;
    uint32_t ctype() const;       // BASS_CTYPE_STREAM_*
    uint32_t origres() const;     // bits per sample of PCM sources, else 0
    int64_t lengthFrames() const; // the container's figure; -1 if it gives none

    // Decodes up to `frames` frames into out; 0 at the end. Undecodable packets are skipped.
    size_t read(int16_t* out, size_t frames);
    // After read gave 0: whether the end came from a read error or from a long run of
    // undecodable packets rather than the end of the file.
    bool stoppedOnError() const;
    // Positions the next read at `frame` (exact where the container's timestamps are).
    bool seek(int64_t frame);

  private:
    FileDecoder();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace corvanel::audio
