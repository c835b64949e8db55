// Where an encoder's samples go: the seam between the encoder queue and the operating system
// (a child process's standard input, a WAV file, or a test's own output).
//
// Bytes are 16-bit signed little-endian PCM, channels interleaved; a write may end inside a
// sample frame, the next one continues it.
// Threads: write() and finish() are called by one thread at a time (the encoder queue thread,
// or the caller's thread for an unqueued encoder), finish() once, after the last write().
#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace corvanel::audio::encode {

enum class EncodeFault {
    None,
    CannotStart,   // program missing or not executable
    CannotCreate,  // output file could not be created
    BrokenPipe,    // the program stopped reading before all data was given
    WriteFailed,   // writing failed (disk full, I/O error)
    ProgramFailed, // the program ended with a non-zero status or by a signal
    Closed,        // written to after the encoder was finished
};

struct EncodeResult {
    EncodeFault fault = EncodeFault::None;
    std::string detail; // human-readable cause, empty on success
    // The program's own last lines on its standard error, one per line; kept with a failure
    // only (a program that succeeded keeps its chatter to itself).
    std::string programMessages{};

    bool ok() const { return fault == EncodeFault::None; }
    static EncodeResult failure(EncodeFault f, std::string why) { return {f, std::move(why), {}}; }
};

class EncoderOutput {
  public:
    virtual ~EncoderOutput() = default;
    virtual EncodeResult write(std::span<const std::byte> bytes) = 0;
    // Ends the output: closes the program's input and waits for it, or finalises the file.
    virtual EncodeResult finish() = 0;
};

} // namespace corvanel::audio::encode
