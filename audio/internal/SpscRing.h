// Lock-free single-producer single-consumer ring of float samples.
//
// Producer: the audio thread (write). Consumer: the SDL device callback (read). Neither
// allocates nor blocks. clear() and the constructor are for a moment when neither side runs
// (the caller holds the device lock and the channel's render lock).
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <vector>

namespace corvanel::audio {

class SpscRing {
  public:
    explicit SpscRing(size_t capacity) : data_(capacity) {}

    size_t capacity() const { return data_.size(); }
    size_t size() const {
        return writePos_.load(std::memory_order_acquire) - readPos_.load(std::memory_order_acquire);
    }
    size_t space() const { return capacity() - size(); }

    // Producer: appends up to n values; returns how many were taken.
    size_t write(const float* src, size_t n) {
        const size_t w = writePos_.load(std::memory_order_relaxed);
        const size_t r = readPos_.load(std::memory_order_acquire);
        n = std::min(n, capacity() - (w - r));
        copyIn(w, src, n);
        writePos_.store(w + n, std::memory_order_release);
        return n;
    }

    // Consumer: removes up to n values; returns how many were given.
    size_t read(float* dst, size_t n) {
        const size_t r = readPos_.load(std::memory_order_relaxed);
        const size_t w = writePos_.load(std::memory_order_acquire);
        n = std::min(n, w - r);
        const size_t start = r % capacity();
        const size_t first = std::min(n, capacity() - start);
        std::copy_n(data_.data() + start, first, dst);
        std::copy_n(data_.data(), n - first, dst + first);
        readPos_.store(r + n, std::memory_order_release);
        return n;
    }

    void clear() { readPos_.store(writePos_.load()); }

  private:
    void copyIn(size_t w, const float* src, size_t n) {
        const size_t start = w % capacity();
        const size_t first = std::min(n, capacity() - start);
        std::copy_n(src, first, data_.data() + start);
        std::copy_n(src + first, n - first, data_.data());
    }

    std::vector<float> data_;
    std::atomic<size_t> writePos_{0};
    std::atomic<size_t> readPos_{0};
};

} // namespace corvanel::audio
