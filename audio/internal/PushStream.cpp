#include "audio/internal/PushStream.h"

#include <algorithm>
#include <cstring>

namespace corvanel::audio {

PushStream::PushStream(uint32_t freq, uint32_t chans, uint32_t flags, STREAMPROC proc, void* user)
    : Channel(freq, chans, flags, BASS_CTYPE_STREAM, 16), proc_(proc), user_(user),
      room_(proc == STREAMPROC_PUSH ? size_t{kQueueSeconds} * freq * frameBytes() : 0),
      ring_(std::make_unique_for_overwrite<uint8_t[]>(room_)) {}

bool PushStream::hasPendingData() {
    if (!isPush())
        return true;
    return taken_.load(std::memory_order_acquire) != put_.load(std::memory_order_acquire);
}

int64_t PushStream::put(const void* data, size_t bytes, bool end) {
    if (!isPush()) {
        setError(BASS_ERROR_NOTAVAIL);
        return -1;
    }
    if (bytes % frameBytes() != 0 || (bytes > 0 && data == nullptr)) {
        setError(BASS_ERROR_ILLPARAM);
        return -1;
    }
    if (endMarked_.load(std::memory_order_acquire)) {
        setError(BASS_ERROR_ENDED);
        return -1;
    }
    const size_t at = put_.load(std::memory_order_relaxed);
    const size_t queued = at - taken_.load(std::memory_order_acquire);
    if (bytes > room_ - queued) {
        setError(BASS_ERROR_MEM);
        return -1;
    }
    const auto* p = static_cast<const uint8_t*>(data);
    const size_t start = room_ > 0 ? at % room_ : 0;
    const size_t first = std::min(bytes, room_ - start);
    if (first > 0)
        std::memcpy(ring_.get() + start, p, first);
    if (bytes > first)
        std::memcpy(ring_.get(), p + first, bytes - first);
    put_.store(at + bytes, std::memory_order_release);
    if (end)
        endMarked_.store(true, std::memory_order_release);
    return static_cast<int64_t>(queued + bytes);
}

int64_t PushStream::produce(uint8_t* out, size_t bytes) {
    if (!isPush()) {
        const DWORD got = proc_(handle(), out, static_cast<DWORD>(bytes), user_);
        const size_t n = std::min<size_t>(got & ~BASS_STREAMPROC_END, bytes);
        const size_t whole = n - n % frameBytes();
        if (whole == 0 && (got & BASS_STREAMPROC_END))
            return -1;
        return static_cast<int64_t>(whole);
    }
    // The end mark is read before the bytes, so bytes put with it are never missed.
    const bool ended = endMarked_.load(std::memory_order_acquire);
    const size_t from = taken_.load(std::memory_order_relaxed);
    const size_t n = std::min(bytes, put_.load(std::memory_order_acquire) - from);
    if (n == 0)
        return ended ? -1 : 0;
    const size_t start = from % room_;
    const size_t first = std::min(n, room_ - start);
    std::memcpy(out, ring_.get() + start, first);
    if (n > first)
        std::memcpy(out + first, ring_.get(), n - first);
    taken_.store(from + n, std::memory_order_release);
    return static_cast<int64_t>(n);
}

void PushStream::discardLocked() {
    // On the taking side: what has been put so far is dropped, a put under way is kept.
    taken_.store(put_.load(std::memory_order_acquire), std::memory_order_release);
    endMarked_.store(false, std::memory_order_release);
}

} // namespace corvanel::audio
