// A stream of the audio library layer: 16-bit interleaved samples at `freq` Hz with `chans`
// channels, rendered block by block (produce), with its DSP routines, attributes, free hooks
// and, once played, its Voice on the playback device.
//
// Byte counts are of the channel's own sample stream (frameBytes() per frame).
// Threads: the render lock serialises rendering (audio thread or BASS_ChannelGetData's
// caller) against the UI thread's seek, stop, restart and release; produce(), seekLocked() and
// closeLocked() run with it held. Entry points on the audio thread are marked
// CORVANEL_AUDIO_THREAD.
#pragma once

#include "base/AudioThread.h"
#include "audio/include/bass.h"
#include "audio/internal/DspChain.h"
#include "audio/internal/Registry.h"
#include "audio/internal/Resampler.h"
#include "audio/internal/Voice.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace corvanel::audio {

class PlaybackDevice;

class Channel : public HandleObject, public std::enable_shared_from_this<Channel> {
  public:
    Channel(uint32_t freq, uint32_t chans, uint32_t flags, uint32_t ctype, uint32_t origres);
    ~Channel() override;

    uint32_t handle() const { return handle_; }
    void setHandle(uint32_t handle) { handle_ = handle; }
    uint32_t freq() const { return freq_; }
    uint32_t chans() const { return chans_; }
    uint32_t flags() const { return flags_; }
    uint32_t ctype() const { return ctype_; }
    uint32_t origres() const { return origres_; }
    uint32_t frameBytes() const { return chans_ * 2; }
    bool decoding() const { return (flags_ & BASS_STREAM_DECODE) != 0; }
    virtual bool isPush() const { return false; }
    // A push stream with nothing queued has no data now; other streams always have.
    virtual bool hasPendingData() { return true; }
    bool released() const { return released_.load(); }

    // Renders up to `bytes` (whole frames) and runs the DSP routines on them. Returns the
    // bytes rendered, 0 when nothing is available now (a push stream waiting for data), -1 at
    // the end. Takes the render lock. Also called by BASS_ChannelGetData's caller.
    CORVANEL_AUDIO_THREAD int64_t render(uint8_t* out, size_t bytes);
    // Fills as much of `bytes` as the stream gives before it stalls or ends; -1 if it had
    // already ended. For BASS_ChannelGetData.
    int64_t pull(uint8_t* out, size_t bytes);

    // Length and position in bytes; false with the error code set when not available.
    virtual bool length(int64_t& bytes);
    bool position(int64_t& bytes);
    bool seek(int64_t bytes);
    virtual bool setAttribute(uint32_t attrib, float value);
    virtual bool getAttribute(uint32_t attrib, float& value);

    // Attaches a routine (false if the channel was freed meanwhile).
    bool addDsp(const DspChain::Entry& entry);
    // Detaches a routine; waits for a block being rendered unless called from a DSP routine.
    bool removeDsp(HDSP dsp);
    bool addFreeHook(std::function<void()> hook);
    // A routine called once each time the channel's data ends, on the rendering thread.
    bool addEndSync(std::function<void()> sync);

    // Playback (non-decoding channels only).
    bool play(bool restart);
    bool pause();
    bool stop();
    uint32_t activeState();

    // Keeps the playback buffer full. Returns true if it rendered anything.
    CORVANEL_AUDIO_THREAD bool service(PlaybackDevice& device);
    void onRelease() override;

  protected:
    // With the render lock held.
    virtual int64_t produce(uint8_t* out, size_t bytes) = 0;
    virtual bool seekLocked(int64_t bytes);
    virtual int64_t decodedPosition() const { return -1; }
    virtual void closeLocked() {}
    // Called by stop(): a push stream drops what was queued.
    virtual void discardLocked() {}
    // True when the position counts what was rendered (so what is buffered is subtracted).
    virtual bool positionIsRendered() const { return true; }

    std::recursive_mutex renderLock_;
    std::atomic<bool> ended_{false};

  private:
    void clearPlaybackLocked();
    void finishIfDrained();

    uint32_t handle_ = 0;
    const uint32_t freq_, chans_, flags_, ctype_, origres_;
    DspChain dsp_;
    std::atomic<bool> released_{false};
    // Stopped, playing or paused; a decoding channel is playing until stopped or ended.
    std::atomic<int> state_;
    std::atomic<int64_t> renderedBytes_{0};
    std::atomic<float> volume_{1.0f};

    std::mutex hooksLock_;
    std::vector<std::function<void()>> freeHooks_;
    std::vector<std::function<void()>> endSyncs_; // guarded by renderLock_

    std::shared_ptr<Voice> voice_;
    std::weak_ptr<PlaybackDevice> device_;
    std::unique_ptr<Resampler> resampler_;
    std::vector<float> converted_;
    std::vector<uint8_t> scratch_;
};

} // namespace corvanel::audio
