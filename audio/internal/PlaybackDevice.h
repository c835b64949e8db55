// The output device (SDL 2 audio, 16-bit stereo at the requested rate) and its mixer.
//
// The SDL callback mixes the Voice of every attached channel (volume applied) and never
// decodes, allocates or waits on a lock of ours: voices are attached and detached under SDL's
// device lock, which SDL holds only around the callback. The audio thread (AudioThread)
// keeps the voices filled.
//
// Threads: open/close, start/stop, attach/detach on the UI thread (attach also from a DSP
// routine); channels() on the audio thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace corvanel::audio {

class Channel;
class AudioThread;
struct Voice;

class PlaybackDevice {
  public:
    // Opens the default device, or SDL's dummy driver when no device can be opened (said
    // once on standard error). Null with the error code set on failure.
    // silent: SDL's dummy driver from the start (the "no sound" device).
    static std::shared_ptr<PlaybackDevice> open(uint32_t rate, bool silent);
    ~PlaybackDevice();
    PlaybackDevice(const PlaybackDevice&) = delete;
    PlaybackDevice& operator=(const PlaybackDevice&) = delete;

    uint32_t rate() const { return rate_; }
    void start();
    void stop();
    // Stops the audio thread (no DSP routine runs after it returns) and the output.
    void shutdown();

    // Adds the channel to the mixer and to the audio thread's list (idempotent).
    bool attach(const std::shared_ptr<Channel>& channel, Voice* voice);
    void detach(const Channel* channel, Voice* voice);
    // Runs fn while the callback cannot run.
    template <class F> void withCallbackLocked(F&& fn) {
        lockCallback();
        fn();
        unlockCallback();
    }
    std::vector<std::shared_ptr<Channel>> channels();
    void wake();

    // Diagnostics (AudioDiagnostics.h).
    std::atomic<uint64_t> callbacks{0};
    std::atomic<uint64_t> underruns{0};
    std::atomic<uint64_t> callbackNanos{0};
    uint64_t updateCycles() const;
    uint64_t updateCpuNanos() const;

  private:
    PlaybackDevice() = default;
    static void callback(void* self, uint8_t* stream, int len);
    void mix(uint8_t* stream, int len);
    void lockCallback();
    void unlockCallback();

    static constexpr size_t kMaxVoices = 64;
    uint32_t rate_ = 44100;
    uint32_t deviceId_ = 0;
    bool sdlStarted_ = false;
    Voice* voices_[kMaxVoices] = {}; // changed under the SDL device lock only
    std::vector<float> mixBuffer_;   // sized at open: the callback never allocates
    std::vector<float> voiceBuffer_;

    std::mutex channelsLock_;
    std::vector<std::shared_ptr<Channel>> channels_;
    std::unique_ptr<AudioThread> updater_;
};

// The device of BASS_Init, null before it and after BASS_Free.
std::shared_ptr<PlaybackDevice> currentDevice();
void setCurrentDevice(std::shared_ptr<PlaybackDevice> device);

} // namespace corvanel::audio
