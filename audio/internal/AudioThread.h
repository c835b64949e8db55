// The library's update thread: every period (BASS_CONFIG_UPDATEPERIOD ms), or sooner when
// woken, it renders ahead into the playback buffer of each playing channel. DSP routines of
// playing channels run here ("audio thread").
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace corvanel::audio {

class PlaybackDevice;

class UpdateThread {
  public:
    explicit UpdateThread(PlaybackDevice& device);
    ~UpdateThread(); // stops and joins: no DSP routine runs after it returns
    UpdateThread(const UpdateThread&) = delete;
    UpdateThread& operator=(const UpdateThread&) = delete;

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
