#include "audio/internal/PlaybackDevice.h"

#include "audio/include/bass.h"
#include "audio/internal/Channel.h"
#include "audio/internal/Registry.h"
#include "audio/internal/AudioThread.h"
#include "audio/internal/Voice.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace corvanel::audio {

namespace {

std::mutex currentLock;
std::shared_ptr<PlaybackDevice> current;

// Opens SDL's audio with the driver SDL picks (or SDL_AUDIODRIVER names); 0 on failure.
SDL_AudioDeviceID openSdl(const SDL_AudioSpec& want, SDL_AudioSpec& have) {
    // SIGINT and SIGTERM belong to the program, not to its audio output.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return 0;
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id == 0)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return id;
}

} // namespace

std::shared_ptr<PlaybackDevice> currentDevice() {
    std::lock_guard guard(currentLock);
    return current;
}

void setCurrentDevice(std::shared_ptr<PlaybackDevice> device) {
    std::shared_ptr<PlaybackDevice> old;
    {
        std::lock_guard guard(currentLock);
        old = std::exchange(current, std::move(device));
    }
    // The old device (its audio thread joined, its SDL device closed) goes here, unlocked.
}

std::shared_ptr<PlaybackDevice> PlaybackDevice::open(uint32_t rate, bool silent) {
    std::shared_ptr<PlaybackDevice> device(new PlaybackDevice);
    device->rate_ = rate;

    SDL_AudioSpec want{};
    want.freq = static_cast<int>(rate);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &PlaybackDevice::callback;
    want.userdata = device.get();
    SDL_AudioSpec have{};

    if (silent)
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    SDL_AudioDeviceID id = openSdl(want, have);
    if (silent)
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (id == 0 && silent) {
        setError(BASS_ERROR_DRIVER);
        return nullptr;
    }
    if (id == 0) {
        const std::string reason = SDL_GetError();
        // A machine without sound still plays, with correct timing, into the dummy driver.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        id = openSdl(want, have);
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        if (id == 0) {
            setError(BASS_ERROR_DRIVER);
            return nullptr;
        }
        static std::once_flag told;
        std::call_once(told, [&] {
            std::fprintf(stderr,
                         "corvanel: no audio output device could be opened (%s); "
                         "playing silently through the dummy driver\n",
                         reason.c_str());
        });
    }
    device->deviceId_ = id;
    device->sdlStarted_ = true;
    device->mixBuffer_.assign(static_cast<size_t>(have.samples) * 2, 0.0f);
    device->voiceBuffer_.assign(static_cast<size_t>(have.samples) * 2, 0.0f);
    device->updater_ = std::make_unique<AudioThread>(*device);
    SDL_PauseAudioDevice(id, 0);
    return device;
}

PlaybackDevice::~PlaybackDevice() {
    updater_.reset(); // joins: no DSP routine runs after this
    if (deviceId_ != 0)
        SDL_CloseAudioDevice(deviceId_);
    if (sdlStarted_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void PlaybackDevice::start() {
    SDL_PauseAudioDevice(deviceId_, 0);
}

void PlaybackDevice::shutdown() {
    updater_.reset();
    SDL_PauseAudioDevice(deviceId_, 1);
}

uint64_t PlaybackDevice::updateCycles() const {
    return updater_ ? updater_->cycles.load() : 0;
}
uint64_t PlaybackDevice::updateCpuNanos() const {
    return updater_ ? updater_->cpuNanos.load() : 0;
}
void PlaybackDevice::stop() {
    SDL_PauseAudioDevice(deviceId_, 1);
}
void PlaybackDevice::lockCallback() {
    SDL_LockAudioDevice(deviceId_);
}
void PlaybackDevice::unlockCallback() {
    SDL_UnlockAudioDevice(deviceId_);
}

bool PlaybackDevice::attach(const std::shared_ptr<Channel>& channel, Voice* voice) {
    {
        std::lock_guard guard(channelsLock_);
        if (std::find(channels_.begin(), channels_.end(), channel) == channels_.end())
            channels_.push_back(channel);
    }
    bool placed = false;
    withCallbackLocked([&] {
        for (Voice*& slot : voices_)
            if (slot == voice)
                placed = true;
        for (Voice*& slot : voices_)
            if (!placed && slot == nullptr) {
                slot = voice;
                placed = true;
            }
    });
    if (!placed) {
        detach(channel.get(), voice);
        setError(BASS_ERROR_MEM);
        return false;
    }
    wake();
    return true;
}

void PlaybackDevice::detach(const Channel* channel, Voice* voice) {
    withCallbackLocked([&] {
        for (Voice*& slot : voices_)
            if (slot == voice)
                slot = nullptr;
    });
    std::lock_guard guard(channelsLock_);
    std::erase_if(channels_, [&](const auto& c) { return c.get() == channel; });
}

std::vector<std::shared_ptr<Channel>> PlaybackDevice::channels() {
    std::lock_guard guard(channelsLock_);
    return channels_;
}

void PlaybackDevice::wake() {
    if (updater_)
        updater_->wake();
}

void PlaybackDevice::callback(void* self, uint8_t* stream, int len) {
    static_cast<PlaybackDevice*>(self)->mix(stream, len);
}

// AUDIO CALLBACK: mixes only; no allocation, no lock, no decoding.
void PlaybackDevice::mix(uint8_t* stream, int len) {
    const auto begin = std::chrono::steady_clock::now();
    const size_t frames = std::min(static_cast<size_t>(len) / 4, mixBuffer_.size() / 2);
    float* mixed = mixBuffer_.data();
    float* part = voiceBuffer_.data();
    std::fill_n(mixed, frames * 2, 0.0f);
    bool starved = false;
    for (Voice* voice : voices_) {
        if (voice == nullptr || !voice->audible.load(std::memory_order_acquire))
            continue;
        const size_t got = voice->ring.read(part, frames * 2) / 2;
        if (got > 0)
            voice->primed.store(true, std::memory_order_relaxed);
        if (got < frames && voice->primed.load(std::memory_order_relaxed) &&
            !voice->sourceEnded.load(std::memory_order_acquire))
            starved = true;
        voice->playedFrames.fetch_add(got, std::memory_order_relaxed);
        const float gain = voice->volume.load(std::memory_order_relaxed);
        for (size_t i = 0; i < got * 2; ++i)
            mixed[i] += part[i] * gain;
    }
    auto* out = reinterpret_cast<int16_t*>(stream);
    for (size_t i = 0; i < frames * 2; ++i) {
        const float v = std::nearbyint(mixed[i] * 32768.0f);
        out[i] = static_cast<int16_t>(std::clamp(v, -32768.0f, 32767.0f));
    }
    std::memset(stream + frames * 4, 0, static_cast<size_t>(len) - frames * 4);
    if (starved)
        ++underruns;
    ++callbacks;
    callbackNanos += static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                               std::chrono::steady_clock::now() - begin)
                                               .count());
}

} // namespace corvanel::audio
