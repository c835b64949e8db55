#include "audio/internal/TempoStream.h"

#include <soundtouch/SoundTouch.h>

#include <algorithm>
#include <cmath>

namespace corvanel::audio {

namespace {
constexpr size_t kInputFrames = 4096;
}

TempoStream::TempoStream(std::shared_ptr<Channel> source, uint32_t flags)
    : Channel(source->freq(), source->chans(), flags, BASS_CTYPE_STREAM_TEMPO, source->origres()),
      source_(std::move(source)), touch_(std::make_unique<soundtouch::SoundTouch>()) {
    touch_->setSampleRate(freq());
    touch_->setChannels(chans());
}

TempoStream::~TempoStream() = default;

bool TempoStream::length(int64_t& bytes) {
    std::shared_ptr<Channel> source;
    {
        std::lock_guard guard(renderLock_);
        source = source_;
    }
    if (!source) {
        setError(BASS_ERROR_HANDLE);
        return false;
    }
    return source->length(bytes);
}

bool TempoStream::setAttribute(uint32_t attrib, float value) {
    if (attrib == BASS_ATTRIB_TEMPO || attrib == BASS_ATTRIB_TEMPO_PITCH) {
        const bool tempo = attrib == BASS_ATTRIB_TEMPO;
        const float lo = tempo ? -95.0f : -60.0f, hi = tempo ? 5000.0f : 60.0f;
        if (!(value >= lo && value <= hi)) {
            setError(BASS_ERROR_ILLPARAM);
            return false;
        }
        (tempo ? tempo_ : pitch_) = value;
        return true;
    }
    return Channel::setAttribute(attrib, value);
}

bool TempoStream::getAttribute(uint32_t attrib, float& value) {
    if (attrib == BASS_ATTRIB_TEMPO || attrib == BASS_ATTRIB_TEMPO_PITCH) {
        value = attrib == BASS_ATTRIB_TEMPO ? tempo_ : pitch_;
        return true;
    }
    return Channel::getAttribute(attrib, value);
}

bool TempoStream::applySettings() {
    const float tempo = tempo_, pitch = pitch_;
    if (tempo != appliedTempo_ || pitch != appliedPitch_) {
        touch_->setTempoChange(tempo);
        touch_->setPitchSemiTones(static_cast<double>(pitch));
        appliedTempo_ = tempo;
        appliedPitch_ = pitch;
    }
    return tempo == 0.0f && pitch == 0.0f;
}

size_t TempoStream::takeProcessed(uint8_t* out, size_t frames) {
    samples_.resize(frames * chans());
    const size_t n = touch_->receiveSamples(samples_.data(), static_cast<unsigned>(frames));
    auto* dst = reinterpret_cast<int16_t*>(out);
    for (size_t i = 0; i < n * chans(); ++i) {
        const float v = std::nearbyint(samples_[i] * 32768.0f);
        dst[i] = static_cast<int16_t>(std::clamp(v, -32768.0f, 32767.0f));
    }
    return n;
}

int64_t TempoStream::produce(uint8_t* out, size_t bytes) {
    if (!source_)
        return -1;
    const size_t frames = bytes / frameBytes();
    for (;;) {
        const bool passThrough = applySettings();
        if (touch_->numSamples() > 0)
            return static_cast<int64_t>(takeProcessed(out, frames) * frameBytes());
        if (flushed_)
            return -1;
        if (passThrough) {
            // What the processor still holds from before the switch is dropped.
            if (touch_->numUnprocessedSamples() > 0)
                touch_->clear();
            return source_->render(out, bytes);
        }
        input_.resize(kInputFrames * frameBytes());
        const int64_t n = source_->render(input_.data(), input_.size());
        if (n < 0) {
            touch_->flush();
            flushed_ = true;
            continue;
        }
        if (n == 0)
            return 0;
        const size_t inFrames = static_cast<size_t>(n) / frameBytes();
        samples_.resize(inFrames * chans());
        const auto* src = reinterpret_cast<const int16_t*>(input_.data());
        for (size_t i = 0; i < inFrames * chans(); ++i)
            samples_[i] = static_cast<float>(src[i]) * (1.0f / 32768.0f);
        touch_->putSamples(samples_.data(), static_cast<unsigned>(inFrames));
    }
}

bool TempoStream::seekLocked(int64_t bytes) {
    if (!source_ || !source_->seek(bytes)) {
        if (!source_)
            setError(BASS_ERROR_HANDLE);
        return false;
    }
    touch_->clear();
    flushed_ = false;
    return true;
}

int64_t TempoStream::decodedPosition() const {
    // The source handle may be gone; its object lives while this stream holds it.
    auto* self = const_cast<TempoStream*>(this);
    std::lock_guard guard(self->renderLock_);
    int64_t pos = 0;
    if (source_ && source_->position(pos))
        return pos;
    return 0;
}

void TempoStream::closeLocked() {
    source_.reset();
}

} // namespace corvanel::audio
