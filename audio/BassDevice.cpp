// Public API: the output device, configuration, versions and error codes.
#include "audio/include/AudioDiagnostics.h"
#include "audio/include/bass.h"
#include "audio/internal/ApiGuard.h"
#include "audio/internal/Channel.h"
#include "audio/internal/Config.h"
#include "audio/internal/PlaybackDevice.h"

#include <mutex>

using namespace corvanel::audio;

namespace {
std::mutex initLock; // BASS_Init and BASS_Free against each other
}

namespace corvanel::audio {

AudioDiagnostics audioDiagnostics() {
    AudioDiagnostics d;
    if (auto device = currentDevice()) {
        d.callbacks = device->callbacks;
        d.underruns = device->underruns;
        d.callbackSeconds = static_cast<double>(device->callbackNanos) * 1e-9;
        d.updateCycles = device->updateCycles();
        d.updateCpuSeconds = static_cast<double>(device->updateCpuNanos()) * 1e-9;
    }
    return d;
}

} // namespace corvanel::audio

extern "C" {

BOOL BASS_Init(int device, DWORD freq, DWORD, void*, const void*) {
    return apiCall<BOOL>(FALSE, [&]() -> BOOL {
        std::lock_guard guard(initLock);
        if (currentDevice())
            return fail<BOOL>(BASS_ERROR_ALREADY, FALSE);
        // -1 and 1: the default output; 0: no sound (played silently, in real time).
        if (device < -1 || device > 1)
            return fail<BOOL>(BASS_ERROR_DEVICE, FALSE);
        if (freq == 0)
            freq = 44100;
        if (freq < 8000 || freq > 192000)
            return fail<BOOL>(BASS_ERROR_FREQ, FALSE);
        auto opened = PlaybackDevice::open(freq, device == 0);
        if (!opened)
            return FALSE;
        setCurrentDevice(std::move(opened));
        return TRUE;
    });
}

BOOL BASS_Free(void) {
    return apiCall<BOOL>(FALSE, [&]() -> BOOL {
        std::lock_guard guard(initLock);
        auto device = currentDevice();
        if (!device)
            return fail<BOOL>(BASS_ERROR_INIT, FALSE);
        setCurrentDevice(nullptr);
        device->shutdown();
        auto objects = takeAllObjects();
        // Channels first: their free hooks may still reach the other objects.
        for (auto& [handle, object] : objects)
            if (dynamic_cast<Channel*>(object.get()))
                object->onRelease();
        for (auto& [handle, object] : objects)
            if (!dynamic_cast<Channel*>(object.get()))
                object->onRelease();
        return TRUE;
    });
}

BOOL BASS_Start(void) {
    return apiCall<BOOL>(FALSE, [&]() -> BOOL {
        auto device = currentDevice();
        if (!device)
            return fail<BOOL>(BASS_ERROR_INIT, FALSE);
        device->start();
        return TRUE;
    });
}

BOOL BASS_Stop(void) {
    return apiCall<BOOL>(FALSE, [&]() -> BOOL {
        auto device = currentDevice();
        if (!device)
            return fail<BOOL>(BASS_ERROR_INIT, FALSE);
        device->stop();
        return TRUE;
    });
}

BOOL BASS_SetConfig(DWORD option, DWORD value) {
    return apiCall<BOOL>(FALSE, [&]() -> BOOL {
        return setConfigValue(option, value) ? TRUE : fail<BOOL>(BASS_ERROR_ILLPARAM, FALSE);
    });
}

DWORD BASS_GetConfig(DWORD option) {
    return apiCall<DWORD>(static_cast<DWORD>(-1), [&]() -> DWORD {
        if (!knownConfigOption(option))
            return fail<DWORD>(BASS_ERROR_ILLPARAM, static_cast<DWORD>(-1));
        return configValue(option);
    });
}

int BASS_ErrorGetCode(void) {
    return lastError();
}

DWORD BASS_GetVersion(void) {
    return CORVANEL_AUDIO_VERSION;
}
DWORD BASS_FX_GetVersion(void) {
    return CORVANEL_AUDIO_VERSION;
}
DWORD BASS_Mixer_GetVersion(void) {
    return CORVANEL_AUDIO_VERSION;
}

} // extern "C"
