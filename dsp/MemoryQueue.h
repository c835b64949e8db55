// TMemoryQueue: a first-in, first-out queue of bytes made of copied blocks.
//
// Units: every length and count of data is in bytes; Count is in blocks.
// Threads: one thread at a time changes the queue (Write, Read, Discard, Clear, Reserve,
// TakeRoom). In the program that is the audio thread while the processor runs; another
// thread empties a queue directly only while no processor call can run (a stopped or paused
// tempo stream, whose render lock orders the two threads) and otherwise asks the processor
// to, which it does at its next call. So the queue needs no lock of its own, and the audio
// thread never waits on one. TrueLength, Length and Count may be read from any thread at any
// time: from a thread other than the changing one they give a recent value.
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
#include <atomic>
#include <memory>

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
    // As Read, but the bytes are dropped instead of copied (the blocks go the same way).
    std::int32_t Discard(std::int32_t Len);
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
    // Moves into spare's room where it is larger than this queue's (bytes and blocks held
    // move with it, nothing is allocated) and leaves spare empty with the smaller room. So
    // room reserved on one thread can be handed to a queue another thread is changing.
    void TakeRoom(TMemoryQueue& spare);

  private:
    struct Block {
        std::size_t size;
        std::size_t position;
    };

    // Read's work; out null drops the bytes.
    std::int32_t Take(std::uint8_t* out, std::int32_t Len);
    void GrowBytes(std::size_t needed);
    void GrowBlocks(std::size_t needed);
    Block& BlockAt(std::size_t i) { return FBlocks[(FFirstBlock + i) % FBlockRoom]; }

    // The three measures are atomic only so that another thread may read them; the changing
    // thread alone writes them (load and store, relaxed: no ordering is promised).
    static std::size_t Get(const std::atomic<std::size_t>& v) {
        return v.load(std::memory_order_relaxed);
    }
    static void Set(std::atomic<std::size_t>& v, std::size_t value) {
        v.store(value, std::memory_order_relaxed);
    }

    // The unread bytes, FUnread of them from FReadAt on, wrapping at FByteRoom.
    std::unique_ptr<std::uint8_t[]> FBytes;
    std::size_t FByteRoom = 0, FReadAt = 0;
    std::atomic<std::size_t> FUnread{0};
    // The blocks, oldest first: FBlockCount of them from FFirstBlock on, wrapping at FBlockRoom.
    std::unique_ptr<Block[]> FBlocks;
    std::size_t FBlockRoom = 0, FFirstBlock = 0;
    std::atomic<std::size_t> FBlockCount{0};
    // Sum of the sizes of the blocks held.
    std::atomic<std::size_t> FSizes{0};
};

} // namespace corvanel
