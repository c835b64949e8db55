// TMemoryQueue: a first-in, first-out queue of bytes made of copied blocks.
//
// Units: every length and count of data is in bytes; Count is in blocks.
// Threads: any thread (in the program the audio thread writes, reads and measures while the
// UI thread may Clear). Each operation holds the queue's own lock for its whole duration, so
// it sees the queue before or after any other; no promise spans two operations.
//
// Storage: the blocks' bytes follow each other in one ring and their sizes in another. Both
// keep their room once grown (Clear included), so a queue that has held its largest load, or
// was given the room with Reserve, copies in and out without allocating or freeing.
//
// The tuning properties ZeroQueueWait, ZeroQueueWaitCount, ZeroQueueWaitOK, Limit and
// LimitForce are left out: at their fixed defaults (the only values ever used) they change
// nothing, so a read never waits and the number of blocks is unlimited.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace corvanel {

class TMemoryQueue {
  public:
    TMemoryQueue() = default;
    TMemoryQueue(const TMemoryQueue&) = delete;
    TMemoryQueue& operator=(const TMemoryQueue&) = delete;

    // Appends one block holding a copy of Len bytes (0 adds an empty block; a negative Len
    // adds nothing). Throws std::bad_alloc, with the queue unchanged, when it must grow and
    // cannot.
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
    // Removes every block (the room stays).
    void Clear();
    // Makes room for at least bytes unread bytes in at least blocks blocks.
    void Reserve(std::size_t bytes, std::size_t blocks);

  private:
    struct Block {
        std::size_t size;
        std::size_t position;
    };

    // Callers hold FLock.
    void GrowBytes(std::size_t needed);
    void GrowBlocks(std::size_t needed);
    Block& BlockAt(std::size_t i) { return FBlocks[(FFirstBlock + i) % FBlockRoom]; }

    mutable std::mutex FLock;
    // The unread bytes, FUnread of them from FReadAt on, wrapping at FByteRoom.
    std::unique_ptr<std::uint8_t[]> FBytes;
    std::size_t FByteRoom = 0, FReadAt = 0, FUnread = 0;
    // The blocks, oldest first: FBlockCount of them from FFirstBlock on, wrapping at FBlockRoom.
    std::unique_ptr<Block[]> FBlocks;
    std::size_t FBlockRoom = 0, FFirstBlock = 0, FBlockCount = 0;
    // Sum of the sizes of the blocks held.
    std::uint64_t FSizes = 0;
};

} // namespace corvanel
