// The library's audio thread: every period (BASS_CONFIG_UPDATEPERIOD ms), or sooner when
// woken, it renders ahead into the playback buffer of each playing channel. DSP routines and
// syncs of playing channels run here.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace corvanel::audio {

class PlaybackDevice;

class AudioThread {
  public:
    explicit AudioThread(PlaybackDevice& device);
    ~AudioThread(); // stops and joins: no DSP routine runs after it returns
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;

    void wake();

    std::atomic<uint64_t> cycles{0};
    std::atomic<uint64_t> cpuNanos{0};

  private:
    void run();

    PlaybackDevice& device_;
    std::mutex lock_;
    std::condition_variable wakeup_;
    bool quit_ = false;
    bool woken_ = false;
    std::thread thread_;
};

} // namespace corvanel::audio
