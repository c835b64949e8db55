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
    const std::size_t unread = Get(FUnread);
    const std::size_t first = std::min(unread, FByteRoom - FReadAt);
    if (first > 0)
        std::memcpy(bytes.get(), FBytes.get() + FReadAt, first);
    if (unread > first)
        std::memcpy(bytes.get() + first, FBytes.get(), unread - first);
    FBytes = std::move(bytes);
    FByteRoom = room;
    FReadAt = 0;
}

void TMemoryQueue::GrowBlocks(std::size_t needed) {
    if (needed <= FBlockRoom)
        return;
    const std::size_t room = GrownRoom(FBlockRoom, needed);
    auto blocks = std::make_unique<Block[]>(room);
    for (std::size_t i = 0, count = Get(FBlockCount); i < count; ++i)
        blocks[i] = BlockAt(i);
    FBlocks = std::move(blocks);
    FBlockRoom = room;
    FFirstBlock = 0;
}

void TMemoryQueue::Reserve(std::size_t bytes, std::size_t blocks) {
    GrowBytes(bytes);
    GrowBlocks(blocks);
}

void TMemoryQueue::TakeRoom(TMemoryQueue& spare) {
    const std::size_t unread = Get(FUnread), count = Get(FBlockCount);
    if (spare.FByteRoom > FByteRoom) {
        const std::size_t first = std::min(unread, FByteRoom - FReadAt);
        if (first > 0)
            std::memcpy(spare.FBytes.get(), FBytes.get() + FReadAt, first);
        if (unread > first)
            std::memcpy(spare.FBytes.get() + first, FBytes.get(), unread - first);
        std::swap(FBytes, spare.FBytes);
        std::swap(FByteRoom, spare.FByteRoom);
        FReadAt = 0;
    }
    if (spare.FBlockRoom > FBlockRoom) {
        for (std::size_t i = 0; i < count; ++i)
            spare.FBlocks[i] = BlockAt(i);
        std::swap(FBlocks, spare.FBlocks);
        std::swap(FBlockRoom, spare.FBlockRoom);
        FFirstBlock = 0;
    }
    spare.Clear();
}

void TMemoryQueue::Write(const void* Data, std::int32_t Len) {
    if (Len < 0)
        return;
    const auto len = static_cast<std::size_t>(Len);
    const std::size_t unread = Get(FUnread), count = Get(FBlockCount);
    GrowBytes(unread + len);
    GrowBlocks(count + 1);
    const auto* in = static_cast<const std::uint8_t*>(Data);
    const std::size_t writeAt = (FReadAt + unread) % std::max<std::size_t>(FByteRoom, 1);
    const std::size_t first = std::min(len, FByteRoom - writeAt);
    if (first > 0)
        std::memcpy(FBytes.get() + writeAt, in, first);
    if (len > first)
        std::memcpy(FBytes.get(), in + first, len - first);
    BlockAt(count) = Block{len, 0};
    Set(FUnread, unread + len);
    Set(FBlockCount, count + 1);
    Set(FSizes, Get(FSizes) + len);
}

std::int32_t TMemoryQueue::Read(void* Data, std::int32_t Len) {
    return Take(static_cast<std::uint8_t*>(Data), Len);
}

std::int32_t TMemoryQueue::Discard(std::int32_t Len) {
    return Take(nullptr, Len);
}

std::int32_t TMemoryQueue::Take(std::uint8_t* out, std::int32_t Len) {
    std::int64_t got = 0;
    std::int64_t want = Len;
    std::size_t count = Get(FBlockCount), sizes = Get(FSizes);
    while (count > 0) {
        Block& oldest = BlockAt(0);
        const std::size_t left = oldest.size - oldest.position;
        const std::size_t take =
            want > 0 ? std::min<std::size_t>(left, static_cast<std::size_t>(want)) : 0;
        oldest.position += take;
        got += static_cast<std::int64_t>(take);
        if (static_cast<std::int64_t>(take) < want) {
            sizes -= oldest.size;
            FFirstBlock = (FFirstBlock + 1) % FBlockRoom;
            --count;
        }
        want -= static_cast<std::int64_t>(take);
        if (want <= 0)
            break;
    }
    // The bytes leave in order, whatever blocks they came from.
    const auto taken = static_cast<std::size_t>(got);
    if (out != nullptr) {
        const std::size_t first = std::min(taken, FByteRoom - FReadAt);
        if (first > 0)
            std::memcpy(out, FBytes.get() + FReadAt, first);
        if (taken > first)
            std::memcpy(out + first, FBytes.get(), taken - first);
    }
    const std::size_t unread = Get(FUnread) - taken;
    FReadAt = unread == 0 ? 0 : (FReadAt + taken) % FByteRoom;
    Set(FUnread, unread);
    Set(FBlockCount, count);
    Set(FSizes, sizes);
    return static_cast<std::int32_t>(got);
}

std::int32_t TMemoryQueue::TrueLength() const {
    return Saturate(Get(FUnread));
}

std::int32_t TMemoryQueue::Length() const {
    return Saturate(Get(FSizes));
}

std::int32_t TMemoryQueue::Count() const {
    return Saturate(Get(FBlockCount));
}

void TMemoryQueue::Clear() {
    FReadAt = 0;
    FFirstBlock = 0;
    Set(FUnread, 0);
    Set(FBlockCount, 0);
    Set(FSizes, 0);
}

} // namespace corvanel
