// A RIFF WAVE file of 16-bit PCM (or the same samples with no header), written by libsndfile.
// Move-only owner of the open file; an empty object owns nothing.
//
// Units: sample rate in Hz; data in bytes of 16-bit signed little-endian PCM, channels
// interleaved. A write may end inside a sample frame; the rest of that frame is taken from the
// next write, and a frame still incomplete at close() is dropped.
// The header is kept valid: close() (also from the destructor) writes the final lengths, so an
// export that stops early leaves a shorter, readable file.
// Threads: one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace corvanel::audio::encode {

// The header of a RIFF WAVE stream of 16-bit PCM whose length is not known when it starts
// (a pipe, or a program's input): both lengths all ones, as other tools write when they
// cannot seek back.
std::vector<std::byte> streamingWavHeader(std::uint32_t sampleRate, std::uint32_t channels);

class WavFileWriter {
  public:
    enum class Container { Wave, Raw };

    WavFileWriter();
    WavFileWriter(WavFileWriter&&) noexcept;
    WavFileWriter& operator=(WavFileWriter&&) noexcept;
    WavFileWriter(const WavFileWriter&) = delete;
    WavFileWriter& operator=(const WavFileWriter&) = delete;
    ~WavFileWriter();

    // Creates (or truncates) the file. On failure returns an empty writer and sets error.
    static WavFileWriter create(const std::filesystem::path& path, int sampleRate, int channels,
                                Container container, std::string& error);

    bool empty() const { return impl_ == nullptr; }

    // False (and error set) when not every byte could be stored, e.g. the disk is full.
    bool write(std::span<const std::byte> bytes, std::string& error);
    // Finalises and closes; false when that failed. Idempotent; the writer is empty after it.
    bool close(std::string& error);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace corvanel::audio::encode
