// Hands an encoder's data to its output. Queued: write() copies the bytes and returns at once,
// and a thread of its own passes them to the output in order. Direct: write() passes them
// to the output on the calling thread.
// The first failure is kept; data after it is dropped. finish() lets the queue drain, ends the
// output, and reports success only if every byte reached the output and the output ended
// cleanly (for a program: all input taken and exit status 0).
//
// Units: bytes. Threads: write() from any thread (the export run's thread, the audio
// thread for a playing channel); finish() from one thread, once; the destructor finishes.
// With a limit of 0 the queue grows without bound (an export then writes as fast as it
// decodes); with a limit, write() waits while more than that many bytes are queued. Each
// queue has its own limit; setLimit() may change it at any time, from any thread.
#pragma once

#include "audio/encode/EncoderOutput.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace corvanel::audio::encode {

class EncodeQueue {
  public:
    enum class Mode { Queued, Direct };

    EncodeQueue(std::unique_ptr<EncoderOutput> output, Mode mode, std::size_t limitBytes = 0);
    EncodeQueue(const EncodeQueue&) = delete;
    EncodeQueue& operator=(const EncodeQueue&) = delete;
    ~EncodeQueue();

    // False when the data cannot be delivered any more (a failure is already known, or the
    // queue is finished); the data is then dropped.
    bool write(const void* data, std::size_t bytes);
    // Blocks until everything queued was handed over and the output ended. Later calls give
    // the same result.
    EncodeResult finish();

    // A writer waiting for room looks again at the new limit.
    void setLimit(std::size_t limitBytes);

    std::int64_t bytesDelivered() const;

  private:
    void run();
    void deliver(std::span<const std::byte> bytes); // caller holds outputMutex_

    std::unique_ptr<EncoderOutput> output_;
    const Mode mode_;

    mutable std::mutex mutex_; // guards everything below up to outputMutex_
    std::condition_variable wake_;
    std::condition_variable room_;
    std::deque<std::vector<std::byte>> pending_;
    std::size_t pendingBytes_ = 0;
    std::size_t limitBytes_;
    bool closing_ = false;
    EncodeResult fault_;
    std::int64_t delivered_ = 0;
    std::optional<EncodeResult> finished_;

    std::mutex outputMutex_; // one caller of output_ at a time (Direct mode)
    std::mutex finishMutex_;
    std::thread worker_;
};

} // namespace corvanel::audio::encode
