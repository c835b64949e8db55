// A stream that plays what it is given: either the bytes queued with BASS_StreamPutData (push)
// or what a STREAMPROC callback returns.
//
// put() may be called from any thread, DSP routines on the audio thread included; the queue
// has its own short lock, never held while anything else runs. Threads otherwise as Channel.
#pragma once

#include "audio/internal/Channel.h"

#include <mutex>
#include <vector>

namespace corvanel::audio {

class PushStream final : public Channel {
  public:
    // proc: STREAMPROC_PUSH or a callback.
    PushStream(uint32_t freq, uint32_t chans, uint32_t flags, STREAMPROC proc, void* user);

    bool isPush() const override { return proc_ == STREAMPROC_PUSH; }
    bool hasPendingData() override;
    // Queues whole frames; `end` marks that nothing more follows. Returns the bytes now
    // queued, or -1 with the error code set.
    int64_t put(const void* data, size_t bytes, bool end);

  protected:
    int64_t produce(uint8_t* out, size_t bytes) override;
    void discardLocked() override;

  private:
    const STREAMPROC proc_;
    void* const user_;
    std::mutex queueLock_;
    std::vector<uint8_t> queue_;
    size_t readPos_ = 0;
    bool endMarked_ = false;
};

} // namespace corvanel::audio
