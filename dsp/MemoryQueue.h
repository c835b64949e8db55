// TMemoryQueue: a first-in, first-out queue of bytes made of copied blocks.
//
// Units: every length and count of data is in bytes; Count is in blocks.
// Threads: any thread (in the program the audio thread writes, reads and measures while the
// UI thread may Clear). Each operation acts on the blocks under the queue's own lock, so it
// sees the queue before or after any other (Write copies its data, and Clear frees the
// blocks, outside the lock); no promise spans two operations.
//
// The tuning properties ZeroQueueWait, ZeroQueueWaitCount, ZeroQueueWaitOK, Limit and
// LimitForce are left out: at their fixed defaults (the only values ever used) they change
// nothing, so a read never waits and the number of blocks is unlimited.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace corvanel {

class TMemoryQueue {
  public:
    TMemoryQueue() = default;
    TMemoryQueue(const TMemoryQueue&) = delete;
    TMemoryQueue& operator=(const TMemoryQueue&) = delete;

    // Appends one block holding a copy of Len bytes (0 adds an empty block; a negative Len
    // adds nothing).
    void Write(const void* Data, std::int32_t Len);
    // Copies up to Len bytes, oldest first, into Data and returns how many; never waits.
    // A block left with nothing to give after a read that wanted more is freed at once; one
    // that gave exactly the bytes still wanted stays until the next Read or Clear.
    std::int32_t Read(void* Data, std::int32_t Len);
    // Bytes a read can still deliver.
    std::int32_t TrueLength() const;
    // Sum of the sizes of the blocks held, already read bytes included.
    std::int32_t Length() const;
    // Blocks held.
    std::int32_t Count() const;
    // Frees every block.
    void Clear();

  private:
    struct Block {
        std::vector<std::uint8_t> data;
        std::size_t position = 0;
    };

    mutable std::mutex FLock;
    std::deque<Block> FBlocks;
};

} // namespace corvanel
