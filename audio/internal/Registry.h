// The handle registry of the audio library layer and the per-thread error code.
//
// Every object that a 32-bit handle names (channels, DSP attachments, encoders) is a
// HandleObject kept alive by a shared_ptr in the one registry. Handles are never 0 and are not
// reused until the 32-bit counter wraps. Lookups copy the shared_ptr, so an object stays alive
// while a call works on it even if another thread frees its handle meanwhile.
//
// Threads: every function may be called from any thread (UI thread, audio thread). The
// registry lock is held only for the map operation itself, never while a release hook or
// onRelease runs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace corvanel::audio {

class HandleObject {
  public:
    HandleObject() = default;
    HandleObject(const HandleObject&) = delete;
    HandleObject& operator=(const HandleObject&) = delete;
    virtual ~HandleObject() = default;
    // Called once, on the thread that frees the handle, after it left the registry.
    virtual void onRelease() {}
};

// Adds an object; returns its new handle (0 only if the object is null).
uint32_t registerObject(std::shared_ptr<HandleObject> object);
std::shared_ptr<HandleObject> lookupObject(uint32_t handle);
template <class T> std::shared_ptr<T> lookupAs(uint32_t handle) {
    return std::dynamic_pointer_cast<T>(lookupObject(handle));
}
// Removes the handle and calls the object's onRelease. False (and no effect) if unknown.
bool releaseHandle(uint32_t handle);
// Removes every handle (BASS_Free); the caller releases the returned objects.
std::vector<std::pair<uint32_t, std::shared_ptr<HandleObject>>> takeAllObjects();

// The calling thread's error code (BASS_ErrorGetCode).
void setError(int code);
int lastError();

// What an encoder needs to know of the channel it is set on.
struct ChannelFormat {
    uint32_t freq = 0;  // Hz
    uint32_t chans = 0; // 16-bit interleaved
    bool decoding = false;
    bool push = false;
};
// Empty (and BASS_ERROR_HANDLE set) if the handle is not a live channel.
std::optional<ChannelFormat> channelFormat(uint32_t channel);

// Runs hook once when the channel is freed (BASS_StreamFree, BASS_Free, auto-free), after it
// stopped and no DSP routine of it runs any more, on the freeing thread. False (and
// BASS_ERROR_HANDLE set) if the handle is not a live channel.
bool addFreeHook(uint32_t channel, std::function<void()> hook);

// The current value of a BASS_SetConfig option (BASS_CONFIG_ENCODE_QUEUE and the others).
uint32_t configValue(uint32_t option);

} // namespace corvanel::audio
