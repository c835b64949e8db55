// A tempo and pitch stream on a decoding source (SoundTouch): the source's rate and channels.
// Tempo in percent (0 = unchanged), pitch in semitones (0 = unchanged); both may change while
// data flows. With both at 0 the source's samples pass through untouched (bit-exact).
//
// Position and length are the source's (bytes of the source stream); seeking seeks the source.
// Threads: as Channel. Attributes are atomics taken up at the next rendered block.
#pragma once

#include "audio/internal/Channel.h"

#include <atomic>
#include <memory>
#include <vector>

namespace soundtouch {
class SoundTouch;
}

namespace corvanel::audio {

class TempoStream final : public Channel {
  public:
    TempoStream(std::shared_ptr<Channel> source, uint32_t flags);
    ~TempoStream() override;

    bool length(int64_t& bytes) override;
    bool setAttribute(uint32_t attrib, float value) override;
    bool getAttribute(uint32_t attrib, float& value) override;

  protected:
    int64_t produce(uint8_t* out, size_t bytes) override;
    bool seekLocked(int64_t bytes) override;
    int64_t decodedPosition() const override;
    bool positionIsRendered() const override { return false; }
    void closeLocked() override;

  private:
    bool applySettings(); // true: pass the source through
    size_t takeProcessed(uint8_t* out, size_t frames);

    std::shared_ptr<Channel> source_; // empty once the stream is freed
    std::unique_ptr<soundtouch::SoundTouch> touch_;
    std::atomic<float> tempo_{0.0f};
    std::atomic<float> pitch_{0.0f};
    float appliedTempo_ = 0.0f, appliedPitch_ = 0.0f;
    bool flushed_ = false;
    std::vector<uint8_t> input_;
    std::vector<float> samples_;
};

} // namespace corvanel::audio
