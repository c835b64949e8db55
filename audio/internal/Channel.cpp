#include "audio/internal/Channel.h"

#include "audio/internal/PlaybackDevice.h"

#include <algorithm>

namespace corvanel::audio {

namespace {
// Frames of device audio: render when at least 10 ms of buffer is free, at most 100 ms a block.
uint32_t minChunkFrames(uint32_t rate) {
    return std::max(1u, rate / 100);
}
uint32_t maxBlockFrames(uint32_t rate) {
    return std::max(1u, rate / 10);
}
constexpr size_t kResamplerMargin = 64;
} // namespace

Channel::Channel(uint32_t freq, uint32_t chans, uint32_t flags, uint32_t ctype, uint32_t origres)
    : freq_(freq), chans_(chans), flags_(flags), ctype_(ctype), origres_(origres),
      state_((flags & BASS_STREAM_DECODE) ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED) {}

Channel::~Channel() = default;

int64_t Channel::render(uint8_t* out, size_t bytes) {
    std::lock_guard guard(renderLock_);
    if (released_)
        return -1;
    bytes -= bytes % frameBytes();
    if (bytes == 0)
        return 0;
    const int64_t n = produce(out, bytes);
    if (n > 0) {
        dsp_.run(handle_, out, static_cast<DWORD>(n));
        renderedBytes_ += n;
    } else if (n < 0 && !ended_.exchange(true)) {
        for (auto& sync : endSyncs_)
            sync();
    }
    return n;
}

int64_t Channel::pull(uint8_t* out, size_t bytes) {
    std::lock_guard guard(renderLock_);
    if (decoding())
        state_ = BASS_ACTIVE_PLAYING;
    size_t filled = 0;
    bytes -= bytes % frameBytes();
    while (filled < bytes) {
        const int64_t n = render(out + filled, bytes - filled);
        if (n < 0) {
            if (filled == 0) {
                setError(BASS_ERROR_ENDED);
                return -1;
            }
            break;
        }
        if (n == 0)
            break;
        filled += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(filled);
}

bool Channel::length(int64_t&) {
    setError(BASS_ERROR_NOTAVAIL);
    return false;
}

bool Channel::position(int64_t& bytes) {
    int64_t pos = decodedPosition();
    if (pos < 0)
        pos = renderedBytes_;
    if (!decoding() && positionIsRendered()) {
        std::lock_guard guard(renderLock_);
        auto device = device_.lock();
        if (voice_ && device) {
            // What is rendered but not yet heard is not part of the position.
            const double frames = static_cast<double>(voice_->ring.size() / 2) * freq_ /
                                  static_cast<double>(device->rate());
            pos -= static_cast<int64_t>(frames) * frameBytes();
        }
    }
    bytes = std::max<int64_t>(pos, 0);
    return true;
}

bool Channel::seek(int64_t bytes) {
    if (bytes < 0) {
        setError(BASS_ERROR_POSITION);
        return false;
    }
    std::lock_guard guard(renderLock_);
    if (!seekLocked(bytes - bytes % frameBytes()))
        return false;
    ended_ = false;
    clearPlaybackLocked();
    return true;
}

bool Channel::seekLocked(int64_t) {
    setError(BASS_ERROR_NOTFILE);
    return false;
}

bool Channel::setAttribute(uint32_t attrib, float value) {
    if (attrib != BASS_ATTRIB_VOL) {
        setError(BASS_ERROR_ILLTYPE);
        return false;
    }
    if (!(value >= 0.0f) || value > 1000.0f) {
        setError(BASS_ERROR_ILLPARAM);
        return false;
    }
    volume_ = value;
    std::lock_guard guard(renderLock_);
    if (voice_)
        voice_->volume = value;
    return true;
}

bool Channel::getAttribute(uint32_t attrib, float& value) {
    if (attrib != BASS_ATTRIB_VOL) {
        setError(BASS_ERROR_ILLTYPE);
        return false;
    }
    value = volume_;
    return true;
}

bool Channel::addDsp(const DspChain::Entry& entry) {
    std::lock_guard guard(renderLock_);
    if (released_) {
        setError(BASS_ERROR_HANDLE);
        return false;
    }
    dsp_.add(entry);
    return true;
}

bool Channel::removeDsp(HDSP dsp) {
    std::lock_guard guard(renderLock_);
    if (!dsp_.remove(dsp)) {
        setError(BASS_ERROR_HANDLE);
        return false;
    }
    return true;
}

bool Channel::addFreeHook(std::function<void()> hook) {
    std::lock_guard guard(hooksLock_);
    if (released_) {
        setError(BASS_ERROR_HANDLE);
        return false;
    }
    freeHooks_.push_back(std::move(hook));
    return true;
}

bool Channel::addEndSync(std::function<void()> sync) {
    std::lock_guard guard(renderLock_);
    if (released_) {
        setError(BASS_ERROR_HANDLE);
        return false;
    }
    endSyncs_.push_back(std::move(sync));
    return true;
}

bool Channel::play(bool restart) {
    if (decoding()) {
        setError(BASS_ERROR_DECODE);
        return false;
    }
    auto device = currentDevice();
    if (!device) {
        setError(BASS_ERROR_INIT);
        return false;
    }
    std::shared_ptr<Voice> voice;
    {
        std::lock_guard guard(renderLock_);
        if (released_) {
            setError(BASS_ERROR_HANDLE);
            return false;
        }
        if (!voice_ || device_.lock() != device) {
            if (auto old = device_.lock(); old && voice_)
                old->detach(this, voice_.get());
            const size_t frames =
                static_cast<size_t>(configValue(BASS_CONFIG_BUFFER)) * device->rate() / 1000;
            voice_ = std::make_shared<Voice>(frames);
            voice_->volume = volume_.load();
            resampler_ = std::make_unique<Resampler>(freq_, chans_, device->rate());
            device_ = device;
        }
        if (restart) {
            // Restarting a push stream keeps what was queued: only the played part is dropped.
            if (seekLocked(0) || isPush())
                ended_ = false;
            clearPlaybackLocked();
            voice_->primed = false;
        }
        voice_->sourceEnded = ended_.load();
        state_ = BASS_ACTIVE_PLAYING;
        voice_->audible = true;
        voice = voice_;
    }
    return device->attach(shared_from_this(), voice.get());
}

bool Channel::pause() {
    if (decoding()) {
        setError(BASS_ERROR_DECODE);
        return false;
    }
    std::lock_guard guard(renderLock_);
    if (state_ == BASS_ACTIVE_PAUSED) {
        setError(BASS_ERROR_ALREADY);
        return false;
    }
    if (state_ != BASS_ACTIVE_PLAYING) {
        setError(BASS_ERROR_NOPLAY);
        return false;
    }
    state_ = BASS_ACTIVE_PAUSED;
    if (voice_)
        voice_->audible = false;
    return true;
}

bool Channel::stop() {
    std::lock_guard guard(renderLock_);
    state_ = BASS_ACTIVE_STOPPED;
    discardLocked();
    if (voice_) {
        voice_->audible = false;
        voice_->primed = false;
    }
    clearPlaybackLocked();
    return true;
}

void Channel::clearPlaybackLocked() {
    if (!voice_)
        return;
    if (auto device = device_.lock())
        device->withCallbackLocked([&] { voice_->ring.clear(); });
    else
        voice_->ring.clear();
    voice_->sourceEnded = ended_.load();
    if (resampler_)
        resampler_->reset();
}

uint32_t Channel::activeState() {
    if (released_)
        return BASS_ACTIVE_STOPPED;
    if (decoding()) {
        if (state_ == BASS_ACTIVE_STOPPED || ended_)
            return BASS_ACTIVE_STOPPED;
        return hasPendingData() ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STALLED;
    }
    const int state = state_;
    if (state != BASS_ACTIVE_PLAYING)
        return static_cast<uint32_t>(state);
    std::lock_guard guard(renderLock_);
    if (!voice_ || voice_->ring.size() > 0)
        return BASS_ACTIVE_PLAYING;
    if (ended_) {
        state_ = BASS_ACTIVE_STOPPED;
        voice_->audible = false;
        return BASS_ACTIVE_STOPPED;
    }
    return hasPendingData() ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STALLED;
}

CORVANEL_AUDIO_THREAD bool Channel::service(PlaybackDevice& device) {
    bool rendered = false;
    bool autoFree = false;
    {
        std::lock_guard guard(renderLock_);
        if (released_ || state_ != BASS_ACTIVE_PLAYING || !voice_ || !resampler_)
            return false;
        const uint32_t rate = device.rate();
        while (!ended_) {
            const size_t space = voice_->ring.space() / 2;
            if (space < minChunkFrames(rate) + kResamplerMargin)
                break;
            const size_t wantOut = std::min<size_t>(space - kResamplerMargin, maxBlockFrames(rate));
            size_t frames = wantOut * freq_ / rate;
            while (frames > 0 && resampler_->maxOutFrames(frames) > space)
                --frames;
            if (frames == 0)
                break;
            scratch_.resize(frames * frameBytes());
            const int64_t n = render(scratch_.data(), scratch_.size());
            if (n <= 0)
                break;
            const size_t inFrames = static_cast<size_t>(n) / frameBytes();
            converted_.resize(resampler_->maxOutFrames(inFrames) * 2);
            const size_t out =
                resampler_->convert(reinterpret_cast<const int16_t*>(scratch_.data()), inFrames,
                                    converted_.data(), converted_.size() / 2);
            voice_->ring.write(converted_.data(), out * 2);
            rendered = true;
        }
        if (ended_) {
            voice_->sourceEnded = true;
            if (voice_->ring.size() == 0) {
                state_ = BASS_ACTIVE_STOPPED;
                voice_->audible = false;
                autoFree = (flags_ & BASS_STREAM_AUTOFREE) != 0;
            }
        }
    }
    if (autoFree)
        releaseHandle(handle_);
    return rendered;
}

void Channel::onRelease() {
    std::vector<HDSP> dsps;
    {
        std::lock_guard guard(renderLock_);
        released_ = true;
        state_ = BASS_ACTIVE_STOPPED;
        if (voice_)
            voice_->audible = false;
        dsps = dsp_.clear();
        endSyncs_.clear();
    }
    if (auto device = device_.lock())
        device->detach(this, voice_.get());
    for (HDSP h : dsps)
        releaseHandle(h);
    std::vector<std::function<void()>> hooks;
    {
        std::lock_guard guard(hooksLock_);
        hooks.swap(freeHooks_);
    }
    for (auto& hook : hooks) {
        try {
            hook();
        } catch (...) {
            // A failing hook must not keep the channel's resources alive.
        }
    }
    std::lock_guard guard(renderLock_);
    closeLocked();
}

std::optional<ChannelFormat> channelFormat(uint32_t channel) {
    auto c = lookupAs<Channel>(channel);
    if (!c) {
        setError(BASS_ERROR_HANDLE);
        return std::nullopt;
    }
    return ChannelFormat{c->freq(), c->chans(), c->decoding(), c->isPush()};
}

bool addFreeHook(uint32_t channel, std::function<void()> hook) {
    auto c = lookupAs<Channel>(channel);
    if (!c) {
        setError(BASS_ERROR_HANDLE);
        return false;
    }
    return c->addFreeHook(std::move(hook));
}

} // namespace corvanel::audio
