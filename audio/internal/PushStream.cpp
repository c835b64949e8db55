#include "audio/internal/PushStream.h"

#include <algorithm>
#include <cstring>

namespace corvanel::audio {

PushStream::PushStream(uint32_t freq, uint32_t chans, uint32_t flags, STREAMPROC proc, void* user)
    : Channel(freq, chans, flags, BASS_CTYPE_STREAM, 16), proc_(proc), user_(user) {}

bool PushStream::hasPendingData() {
    if (!isPush())
        return true;
    std::lock_guard guard(queueLock_);
    return readPos_ < queue_.size();
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
    std::lock_guard guard(queueLock_);
    if (endMarked_) {
        setError(BASS_ERROR_ENDED);
        return -1;
    }
    if (readPos_ > 0 && readPos_ >= queue_.size() / 2) {
        queue_.erase(queue_.begin(), queue_.begin() + static_cast<ptrdiff_t>(readPos_));
        readPos_ = 0;
    }
    const auto* p = static_cast<const uint8_t*>(data);
    queue_.insert(queue_.end(), p, p + bytes);
    endMarked_ = end;
    return static_cast<int64_t>(queue_.size() - readPos_);
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
    std::lock_guard guard(queueLock_);
    const size_t n = std::min(bytes, queue_.size() - readPos_);
    if (n == 0)
        return endMarked_ ? -1 : 0;
    std::memcpy(out, queue_.data() + readPos_, n);
    readPos_ += n;
    return static_cast<int64_t>(n);
}

void PushStream::discardLocked() {
    std::lock_guard guard(queueLock_);
    queue_.clear();
    readPos_ = 0;
    endMarked_ = false;
}

} // namespace corvanel::audio
