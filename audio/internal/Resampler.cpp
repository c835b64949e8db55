#include "audio/internal/Resampler.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <stdexcept>

namespace corvanel::audio {

namespace {
struct SwrDeleter {
    void operator()(SwrContext* s) const { swr_free(&s); }
};
using SwrPtr = std::unique_ptr<SwrContext, SwrDeleter>; // empty: no conversion needed
} // namespace

struct Resampler::Impl {
    uint32_t srcRate, srcChans, dstRate;
    SwrPtr swr;

    void open() {
        if (srcRate == dstRate && srcChans == 2) {
            swr.reset();
            return;
        }
        AVChannelLayout in{}, out{};
        av_channel_layout_default(&in, static_cast<int>(srcChans));
        av_channel_layout_default(&out, 2);
        SwrContext* raw = nullptr;
        const int err =
            swr_alloc_set_opts2(&raw, &out, AV_SAMPLE_FMT_FLT, static_cast<int>(dstRate), &in,
                                AV_SAMPLE_FMT_S16, static_cast<int>(srcRate), 0, nullptr);
        av_channel_layout_uninit(&in);
        av_channel_layout_uninit(&out);
        swr.reset(raw);
        if (err < 0 || swr_init(swr.get()) < 0)
            throw std::runtime_error("resampler");
    }
};

Resampler::Resampler(uint32_t srcRate, uint32_t srcChans, uint32_t dstRate)
    : impl_(new Impl{srcRate, srcChans, dstRate, nullptr}) {
    impl_->open();
}

Resampler::~Resampler() = default;

size_t Resampler::maxOutFrames(size_t frames) const {
    if (!impl_->swr)
        return frames;
    const int n = swr_get_out_samples(impl_->swr.get(), static_cast<int>(frames));
    return n < 0 ? 0 : static_cast<size_t>(n);
}

size_t Resampler::convert(const int16_t* in, size_t frames, float* out, size_t outCapacity) {
    if (!impl_->swr) {
        const size_t n = std::min(frames, outCapacity);
        for (size_t i = 0; i < n * 2; ++i)
            out[i] = static_cast<float>(in[i]) * (1.0f / 32768.0f);
        return n;
    }
    const uint8_t* inPlanes[1] = {reinterpret_cast<const uint8_t*>(in)};
    uint8_t* outPlanes[1] = {reinterpret_cast<uint8_t*>(out)};
    const int n = swr_convert(impl_->swr.get(), outPlanes, static_cast<int>(outCapacity), inPlanes,
                              static_cast<int>(frames));
    return n < 0 ? 0 : static_cast<size_t>(n);
}

void Resampler::reset() {
    if (impl_->swr)
        impl_->open();
}

} // namespace corvanel::audio
