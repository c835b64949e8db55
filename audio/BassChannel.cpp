// Public API: operations on a channel.
#include "audio/include/bass.h"
#include "audio/internal/ApiGuard.h"
#include "audio/internal/Channel.h"

#include <atomic>
#include <cmath>
#include <limits>

using namespace corvanel::audio;

namespace {

constexpr QWORD kBadQword = static_cast<QWORD>(-1);
constexpr DWORD kBadDword = static_cast<DWORD>(-1);

// The live channel of a handle, or null with BASS_ERROR_HANDLE set.
std::shared_ptr<Channel> channelOf(DWORD handle) {
    auto channel = lookupAs<Channel>(handle);
    if (!channel || channel->released()) {
        setError(BASS_ERROR_HANDLE);
        return nullptr;
    }
    return channel;
}

class DspAttachment final : public HandleObject {
  public:
    explicit DspAttachment(std::weak_ptr<Channel> channel) : channel_(std::move(channel)) {}
    std::shared_ptr<Channel> channel() const { return channel_.lock(); }

  private:
    std::weak_ptr<Channel> channel_;
};

} // namespace

extern "C" {

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    return apiCall<BOOL>(FALSE, [&]() -> BOOL {
        auto c = channelOf(handle);
        return c && c->play(restart != 0) ? TRUE : FALSE;
    });
}

BOOL BASS_ChannelPause(DWORD handle) {
    return apiCall<BOOL>(FALSE, [&]() -> BOOL {
        auto c = channelOf(handle);
        return c && c->pause() ? TRUE : FALSE;
    });
}

BOOL BASS_ChannelStop(DWORD handle) {
    return apiCall<BOOL>(FALSE, [&]() -> BOOL {
        auto c = channelOf(handle);
        return c && c->stop() ? TRUE : FALSE;
    });
}

DWORD BASS_ChannelIsActive(DWORD handle) {
    return apiCall<DWORD>(BASS_ACTIVE_STOPPED, [&]() -> DWORD {
        auto c = channelOf(handle);
        return c ? c->activeState() : BASS_ACTIVE_STOPPED;
    });
}

BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value) {
    return apiCall<BOOL>(FALSE, [&]() -> BOOL {
        auto c = channelOf(handle);
        return c && c->setAttribute(attrib, value) ? TRUE : FALSE;
    });
}

BOOL BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value) {
    return apiCall<BOOL>(FALSE, [&]() -> BOOL {
        auto c = channelOf(handle);
        if (!c)
            return FALSE;
        if (!value)
            return fail<BOOL>(BASS_ERROR_ILLPARAM, FALSE);
        return c->getAttribute(attrib, *value) ? TRUE : FALSE;
    });
}

BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) {
    return apiCall<BOOL>(FALSE, [&]() -> BOOL {
        auto c = channelOf(handle);
        if (!c)
            return FALSE;
        if (!info)
            return fail<BOOL>(BASS_ERROR_ILLPARAM, FALSE);
        *info = BASS_CHANNELINFO{c->freq(), c->chans(), c->flags(), c->ctype(), c->origres()};
        return TRUE;
    });
}

QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode) {
    return apiCall<QWORD>(kBadQword, [&]() -> QWORD {
        auto c = channelOf(handle);
        if (!c)
            return kBadQword;
        if (mode != BASS_POS_BYTE)
            return fail<QWORD>(BASS_ERROR_NOTAVAIL, kBadQword);
        int64_t bytes = 0;
        return c->length(bytes) ? static_cast<QWORD>(bytes) : kBadQword;
    });
}

QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode) {
    return apiCall<QWORD>(kBadQword, [&]() -> QWORD {
        auto c = channelOf(handle);
        if (!c)
            return kBadQword;
        if (mode != BASS_POS_BYTE)
            return fail<QWORD>(BASS_ERROR_NOTAVAIL, kBadQword);
        int64_t bytes = 0;
        return c->position(bytes) ? static_cast<QWORD>(bytes) : kBadQword;
    });
}

BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode) {
    return apiCall<BOOL>(FALSE, [&]() -> BOOL {
        auto c = channelOf(handle);
        if (!c)
            return FALSE;
        if (mode != BASS_POS_BYTE)
            return fail<BOOL>(BASS_ERROR_NOTAVAIL, FALSE);
        if (pos > static_cast<QWORD>(std::numeric_limits<int64_t>::max()))
            return fail<BOOL>(BASS_ERROR_POSITION, FALSE);
        return c->seek(static_cast<int64_t>(pos)) ? TRUE : FALSE;
    });
}

double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
    return apiCall<double>(-1.0, [&]() -> double {
        auto c = channelOf(handle);
        if (!c)
            return -1.0;
        if (pos > static_cast<QWORD>(std::numeric_limits<int64_t>::max()))
            return fail<double>(BASS_ERROR_ILLPARAM, -1.0);
        return static_cast<double>(pos / c->frameBytes()) / c->freq();
    });
}

QWORD BASS_ChannelSeconds2Bytes(DWORD handle, double pos) {
    return apiCall<QWORD>(kBadQword, [&]() -> QWORD {
        auto c = channelOf(handle);
        if (!c)
            return kBadQword;
        const double frames = std::nearbyint(pos * c->freq());
        if (!(frames >= 0.0) || frames > 1e15)
            return fail<QWORD>(BASS_ERROR_ILLPARAM, kBadQword);
        return static_cast<QWORD>(frames) * c->frameBytes();
    });
}

DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) {
    return apiCall<DWORD>(kBadDword, [&]() -> DWORD {
        auto c = channelOf(handle);
        if (!c)
            return kBadDword;
        if (!c->decoding())
            return fail<DWORD>(BASS_ERROR_NOTAVAIL, kBadDword);
        // Only plain byte counts are served (no flag bits such as FFT or float requests).
        if (buffer == nullptr || (length & 0xF0000000u) != 0)
            return fail<DWORD>(BASS_ERROR_ILLPARAM, kBadDword);
        const int64_t n = c->pull(static_cast<uint8_t*>(buffer), length);
        return n < 0 ? kBadDword : static_cast<DWORD>(n);
    });
}

HDSP BASS_ChannelSetDSP(DWORD handle, DSPPROC proc, void* user, int priority) {
    return apiCall<HDSP>(0, [&]() -> HDSP {
        auto c = channelOf(handle);
        if (!c)
            return 0;
        if (!proc)
            return fail<HDSP>(BASS_ERROR_ILLPARAM, 0);
        const HDSP dsp = registerObject(std::make_shared<DspAttachment>(c));
        if (!c->addDsp(DspChain::Entry{dsp, proc, user, priority})) {
            releaseHandle(dsp);
            return fail<HDSP>(BASS_ERROR_HANDLE, 0);
        }
        return dsp;
    });
}

HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC proc, void* user) {
    return apiCall<HSYNC>(0, [&]() -> HSYNC {
        auto c = channelOf(handle);
        if (!c)
            return 0;
        if (type != (BASS_SYNC_END | BASS_SYNC_MIXTIME) || param != 0)
            return fail<HSYNC>(BASS_ERROR_ILLTYPE, 0);
        if (!proc)
            return fail<HSYNC>(BASS_ERROR_ILLPARAM, 0);
        static std::atomic<HSYNC> lastSync{0};
        const HSYNC sync = ++lastSync;
        if (!c->addEndSync([=] { proc(sync, handle, 0, user); }))
            return 0;
        return sync;
    });
}

BOOL BASS_ChannelRemoveDSP(DWORD handle, HDSP dsp) {
    return apiCall<BOOL>(FALSE, [&]() -> BOOL {
        auto c = channelOf(handle);
        if (!c)
            return FALSE;
        auto attachment = lookupAs<DspAttachment>(dsp);
        if (!attachment || attachment->channel() != c || !c->removeDsp(dsp))
            return fail<BOOL>(BASS_ERROR_HANDLE, FALSE);
        releaseHandle(dsp);
        return TRUE;
    });
}

} // extern "C"
