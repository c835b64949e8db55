// Public API: creating and freeing streams, pushing data.
#include "audio/include/bass.h"
#include "audio/internal/ApiGuard.h"
#include "audio/internal/FileStream.h"
#include "audio/internal/PathText.h"
#include "audio/internal/PushStream.h"
#include "audio/internal/TempoStream.h"

using namespace corvanel::audio;

namespace {

HSTREAM registerChannel(const std::shared_ptr<Channel>& channel) {
    const uint32_t handle = registerObject(channel);
    channel->setHandle(handle);
    return handle;
}

HSTREAM openFile(OpenerKind kind, BOOL mem, const void* file, QWORD offset, QWORD length,
                 DWORD flags) {
    return apiCall<HSTREAM>(0, [&]() -> HSTREAM {
        // Only whole files on disk are read.
        if (mem || offset != 0 || length != 0)
            return fail<HSTREAM>(BASS_ERROR_ILLPARAM, 0);
        if (flags & BASS_SAMPLE_FLOAT)
            return fail<HSTREAM>(BASS_ERROR_FORMAT, 0);
        const auto path = pathArgument(file, flags);
        if (!path)
            return fail<HSTREAM>(BASS_ERROR_FILEOPEN, 0);
        auto stream =
            FileStream::open(*path, kind, flags & (BASS_STREAM_DECODE | BASS_STREAM_AUTOFREE));
        return stream ? registerChannel(stream) : 0;
    });
}

} // namespace

extern "C" {

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags) {
    return openFile(OpenerKind::Generic, mem, file, offset, length, flags);
}

HSTREAM BASS_AAC_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                                  DWORD flags) {
    return openFile(OpenerKind::Aac, mem, file, offset, length, flags);
}

HSTREAM BASS_WMA_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                                  DWORD flags) {
    return openFile(OpenerKind::Wma, mem, file, offset, length, flags);
}

HSTREAM BASS_FX_TempoCreate(DWORD chan, DWORD flags) {
    return apiCall<HSTREAM>(0, [&]() -> HSTREAM {
        auto source = lookupAs<Channel>(chan);
        if (!source || source->released())
            return fail<HSTREAM>(BASS_ERROR_HANDLE, 0);
        if (!source->decoding())
            return fail<HSTREAM>(BASS_ERROR_DECODE, 0);
        if (flags & BASS_SAMPLE_FLOAT)
            return fail<HSTREAM>(BASS_ERROR_FORMAT, 0);
        return registerChannel(std::make_shared<TempoStream>(
            source, flags & (BASS_STREAM_DECODE | BASS_STREAM_AUTOFREE)));
    });
}

HSTREAM BASS_StreamCreate(DWORD freq, DWORD chans, DWORD flags, STREAMPROC proc, void* user) {
    return apiCall<HSTREAM>(0, [&]() -> HSTREAM {
        if (freq < 1000 || freq > 384000)
            return fail<HSTREAM>(BASS_ERROR_FREQ, 0);
        if (chans < 1 || chans > 8 || proc == nullptr)
            return fail<HSTREAM>(BASS_ERROR_ILLPARAM, 0);
        if (flags & BASS_SAMPLE_FLOAT)
            return fail<HSTREAM>(BASS_ERROR_FORMAT, 0);
        return registerChannel(std::make_shared<PushStream>(
            freq, chans, flags & (BASS_STREAM_DECODE | BASS_STREAM_AUTOFREE), proc, user));
    });
}

DWORD BASS_StreamPutData(HSTREAM handle, const void* buffer, DWORD length) {
    return apiCall<DWORD>(static_cast<DWORD>(-1), [&]() -> DWORD {
        auto channel = lookupAs<Channel>(handle);
        if (!channel || channel->released())
            return fail<DWORD>(BASS_ERROR_HANDLE, static_cast<DWORD>(-1));
        auto push = std::dynamic_pointer_cast<PushStream>(channel);
        if (!push)
            return fail<DWORD>(BASS_ERROR_NOTAVAIL, static_cast<DWORD>(-1));
        const int64_t queued =
            push->put(buffer, length & ~BASS_STREAMPROC_END, (length & BASS_STREAMPROC_END) != 0);
        return queued < 0 ? static_cast<DWORD>(-1) : static_cast<DWORD>(queued);
    });
}

BOOL BASS_StreamFree(HSTREAM handle) {
    return apiCall<BOOL>(FALSE, [&]() -> BOOL {
        if (!lookupAs<Channel>(handle) || !releaseHandle(handle))
            return fail<BOOL>(BASS_ERROR_HANDLE, FALSE);
        return TRUE;
    });
}

} // extern "C"
