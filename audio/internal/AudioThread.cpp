#include "audio/internal/AudioThread.h"

#include "audio/include/bass.h"
#include "audio/internal/Channel.h"
#include "audio/internal/PlaybackDevice.h"

#include <chrono>
#include <ctime>

namespace corvanel::audio {

namespace {
uint64_t threadCpuNanos() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
}
} // namespace

AudioThread::AudioThread(PlaybackDevice& device) : device_(device) {
    thread_ = std::thread([this] { run(); });
}

AudioThread::~AudioThread() {
    {
        std::lock_guard guard(lock_);
        quit_ = true;
    }
    wakeup_.notify_all();
    thread_.join();
}

void AudioThread::wake() {
    {
        std::lock_guard guard(lock_);
        woken_ = true;
    }
    wakeup_.notify_all();
}

void AudioThread::run() {
    for (;;) {
        {
            std::unique_lock guard(lock_);
            const auto period = std::chrono::milliseconds(configValue(BASS_CONFIG_UPDATEPERIOD));
            wakeup_.wait_for(guard, period, [this] { return quit_ || woken_; });
            if (quit_)
                return;
            woken_ = false;
        }
        const uint64_t begin = threadCpuNanos();
        // A DSP routine may feed a push stream served later in the same pass; a second pass
        // moves that data into the push stream's buffer without waiting a period.
        for (int pass = 0; pass < 2; ++pass) {
            bool rendered = false;
            for (const auto& channel : device_.channels())
                rendered = channel->service(device_) || rendered;
            if (!rendered)
                break;
        }
        cpuNanos += threadCpuNanos() - begin;
        ++cycles;
    }
}

} // namespace corvanel::audio
