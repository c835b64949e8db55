#pragma once
// The output tap: the latest block the output push stream is about to play (16-bit signed
// little-endian stereo, 4 bytes per sample pair), with a read position at the first byte the
// scope has not drawn yet. Lengths in bytes. Standard library only.
//
// Threads: Replace (through ViewProc) on the audio thread; ReadUpTo and Clear on the UI thread.
// One lock guards the buffer and is held only for the copy.

#include "base/AudioThread.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

class OutputTap {
  public:
    // Capacity reserved up front so that blocks up to this size never allocate on the audio
    // thread; a larger block grows the buffer once.
    static constexpr std::size_t kDefaultCapacity = 256 * 1024;

    explicit OutputTap(std::size_t capacityBytes = kDefaultCapacity);
    OutputTap(const OutputTap&) = delete;
    OutputTap& operator=(const OutputTap&) = delete;

    // Audio thread. Empties the tap, writes the block and rewinds: whatever of the previous
    // block was not read yet is dropped.
    void Replace(const void* block, std::size_t length);

    // UI thread. Copies up to maxBytes from the read position into dst and advances it;
    // returns the number of bytes copied (0 once the block is used up).
    std::size_t ReadUpTo(void* dst, std::size_t maxBytes);

    // UI thread, only while ViewProc cannot run (the chain is stopped): size and position 0.
    void Clear();

    std::size_t CapacityBytes() const;

  private:
    mutable std::mutex lock_;
    std::vector<uint8_t> bytes_; // sized to the capacity; size_ bytes of it are the block
    std::size_t size_ = 0;
    std::size_t readPos_ = 0;
};

// The tap in the audio library's DSP callback form: user is the OutputTap; buffer holds
// length bytes and is left unchanged.
CORVANEL_AUDIO_THREAD void ViewProc(uint32_t handle, uint32_t channel, void* buffer,
                                    uint32_t length, void* user);
