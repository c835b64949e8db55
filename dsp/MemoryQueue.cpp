#include "dsp/MemoryQueue.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace corvanel {
namespace {

std::int32_t Saturate(std::uint64_t v) {
    return static_cast<std::int32_t>(
        std::min<std::uint64_t>(v, std::numeric_limits<std::int32_t>::max()));
}

// Room grows at least twofold, so a queue settles after a few writes.
std::size_t GrownRoom(std::size_t room, std::size_t needed) {
    return std::max(needed, room * 2);
}

} // namespace

void TMemoryQueue::GrowBytes(std::size_t needed) {
    if (needed <= FByteRoom)
        return;
    const std::size_t room = GrownRoom(FByteRoom, needed);
    auto bytes = std::make_unique_for_overwrite<std::uint8_t[]>(room);
    const std::size_t first = std::min(FUnread, FByteRoom - FReadAt);
    if (first > 0)
        std::memcpy(bytes.get(), FBytes.get() + FReadAt, first);
    if (FUnread > first)
        std::memcpy(bytes.get() + first, FBytes.get(), FUnread - first);
    FBytes = std::move(bytes);
    FByteRoom = room;
    FReadAt = 0;
}

void TMemoryQueue::GrowBlocks(std::size_t needed) {
    if (needed <= FBlockRoom)
        return;
    const std::size_t room = GrownRoom(FBlockRoom, needed);
    auto blocks = std::make_unique<Block[]>(room);
    for (std::size_t i = 0; i < FBlockCount; ++i)
        blocks[i] = BlockAt(i);
    FBlocks = std::move(blocks);
    FBlockRoom = room;
    FFirstBlock = 0;
}

void TMemoryQueue::Reserve(std::size_t bytes, std::size_t blocks) {
    std::lock_guard lock(FLock);
    GrowBytes(bytes);
    GrowBlocks(blocks);
}

void TMemoryQueue::Write(const void* Data, std::int32_t Len) {
    if (Len < 0)
        return;
    const auto len = static_cast<std::size_t>(Len);
    std::lock_guard lock(FLock);
    GrowBytes(FUnread + len);
    GrowBlocks(FBlockCount + 1);
    const auto* in = static_cast<const std::uint8_t*>(Data);
    const std::size_t writeAt = (FReadAt + FUnread) % std::max<std::size_t>(FByteRoom, 1);
    const std::size_t first = std::min(len, FByteRoom - writeAt);
    if (first > 0)
        std::memcpy(FBytes.get() + writeAt, in, first);
    if (len > first)
        std::memcpy(FBytes.get(), in + first, len - first);
    FUnread += len;
    BlockAt(FBlockCount) = Block{len, 0};
    ++FBlockCount;
    FSizes += len;
}

std::int32_t TMemoryQueue::Read(void* Data, std::int32_t Len) {
    std::int64_t got = 0;
    std::int64_t want = Len;
    std::lock_guard lock(FLock);
    while (FBlockCount > 0) {
        Block& oldest = BlockAt(0);
        const std::size_t left = oldest.size - oldest.position;
        const std::size_t take =
            want > 0 ? std::min<std::size_t>(left, static_cast<std::size_t>(want)) : 0;
        oldest.position += take;
        got += static_cast<std::int64_t>(take);
        if (static_cast<std::int64_t>(take) < want) {
            FSizes -= oldest.size;
            FFirstBlock = (FFirstBlock + 1) % FBlockRoom;
            --FBlockCount;
        }
        want -= static_cast<std::int64_t>(take);
        if (want <= 0)
            break;
    }
    // The bytes leave in order, whatever blocks they came from.
    const auto count = static_cast<std::size_t>(got);
    auto* out = static_cast<std::uint8_t*>(Data);
    const std::size_t first = std::min(count, FByteRoom - FReadAt);
    if (first > 0)
        std::memcpy(out, FBytes.get() + FReadAt, first);
    if (count > first)
        std::memcpy(out + first, FBytes.get(), count - first);
    FUnread -= count;
    FReadAt = FUnread == 0 ? 0 : (FReadAt + count) % FByteRoom;
    return static_cast<std::int32_t>(got);
}

std::int32_t TMemoryQueue::TrueLength() const {
    std::lock_guard lock(FLock);
    return Saturate(FUnread);
}

std::int32_t TMemoryQueue::Length() const {
    std::lock_guard lock(FLock);
    return Saturate(FSizes);
}

std::int32_t TMemoryQueue::Count() const {
    std::lock_guard lock(FLock);
    return Saturate(FBlockCount);
}

void TMemoryQueue::Clear() {
    std::lock_guard lock(FLock);
    FReadAt = FUnread = 0;
    FFirstBlock = FBlockCount = 0;
    FSizes = 0;
}

} // namespace corvanel
