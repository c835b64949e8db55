// A stream that plays what it is given: either the bytes queued with BASS_StreamPutData (push)
// or what a STREAMPROC callback returns.
//
// The push queue is a ring whose room is allocated with the stream (kQueueSeconds of its
// audio), so putting never allocates or waits, whichever thread puts; a put that does not fit
// in the room left is refused whole (BASS_ERROR_MEM) and lost, like any refused block.
// Threads: one thread at a time puts (the reduction's audio thread while it plays); the
// stream's rendering takes from the other end. A stop empties the queue under the render
// lock, on the taking side. Otherwise as Channel.
#pragma once

#include "audio/internal/Channel.h"

#include <atomic>
#include <cstddef>
#include <memory>

namespace corvanel::audio {

class PushStream final : public Channel {
  public:
    // Room of the push queue in seconds of the stream's audio: well over the most the
    // reduction holds ahead of the device at its longest frame.
    static constexpr uint32_t kQueueSeconds = 10;

    // proc: STREAMPROC_PUSH or a callback.
    PushStream(uint32_t freq, uint32_t chans, uint32_t flags, STREAMPROC proc, void* user);

    bool isPush() const override { return proc_ == STREAMPROC_PUSH; }
    bool hasPendingData() override;
    // Queues whole frames; `end` marks that nothing more follows. Returns the bytes now
    // queued, or -1 with the error code set.
    int64_t put(const void* data, size_t bytes, bool end);
    // Bytes the push queue can hold.
    size_t queueRoom() const { return room_; }

  protected:
    int64_t produce(uint8_t* out, size_t bytes) override;
    void discardLocked() override;

  private:
    const STREAMPROC proc_;
    void* const user_;
    const size_t room_;
    std::unique_ptr<uint8_t[]> ring_;
    // Bytes ever put and ever taken; the ring holds put_ - taken_ of them.
    std::atomic<size_t> put_{0}, taken_{0};
    std::atomic<bool> endMarked_{false};
};

} // namespace corvanel::audio
