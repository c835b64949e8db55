#include "engine/OutputTap.h"

#include <algorithm>
#include <cstring>
#include <utility>

OutputTap::OutputTap(std::size_t capacityBytes) : bytes_(capacityBytes) {}

void OutputTap::Replace(const void* block, std::size_t length) {
    if (length > 0 && block == nullptr)
        length = 0;
    std::size_t capacity = 0;
    {
        std::lock_guard guard(lock_);
        capacity = bytes_.size();
        if (length <= bytes_.size()) {
            if (length > 0)
                std::memcpy(bytes_.data(), block, length);
            size_ = length;
            readPos_ = 0;
            return;
        }
    }
    // Rare: a block larger than any before. Allocate outside the lock so the UI thread is
    // never kept waiting for the allocator; only this thread replaces the buffer.
    std::vector<uint8_t> grown(std::max(length, capacity * 2));
    std::memcpy(grown.data(), block, length);
    {
        std::lock_guard guard(lock_);
        std::swap(bytes_, grown);
        size_ = length;
        readPos_ = 0;
    }
}

std::size_t OutputTap::ReadUpTo(void* dst, std::size_t maxBytes) {
    std::lock_guard guard(lock_);
    const std::size_t n = std::min(maxBytes, size_ - readPos_);
    if (n > 0) {
        std::memcpy(dst, bytes_.data() + readPos_, n);
        readPos_ += n;
    }
    return n;
}

void OutputTap::Clear() {
    std::lock_guard guard(lock_);
    size_ = 0;
    readPos_ = 0;
}

std::size_t OutputTap::CapacityBytes() const {
    std::lock_guard guard(lock_);
    return bytes_.size();
}

void ViewProc(uint32_t /*handle*/, uint32_t /*channel*/, void* buffer, uint32_t length,
              void* user) {
    if (user == nullptr)
        return;
    static_cast<OutputTap*>(user)->Replace(buffer, length);
}
