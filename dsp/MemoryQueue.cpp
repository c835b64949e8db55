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

} // namespace

void TMemoryQueue::Write(const void* Data, std::int32_t Len) {
    if (Len < 0)
        return;
    Block block;
    const auto* bytes = static_cast<const std::uint8_t*>(Data);
    if (Len > 0)
        block.data.assign(bytes, bytes + Len);
    std::lock_guard lock(FLock);
    FBlocks.push_back(std::move(block));
}

std::int32_t TMemoryQueue::Read(void* Data, std::int32_t Len) {
    auto* out = static_cast<std::uint8_t*>(Data);
    std::int64_t got = 0;
    std::int64_t want = Len;
    std::lock_guard lock(FLock);
    while (!FBlocks.empty()) {
        Block& oldest = FBlocks.front();
        const std::size_t left = oldest.data.size() - oldest.position;
        const std::size_t take =
            want > 0 ? std::min<std::size_t>(left, static_cast<std::size_t>(want)) : 0;
        if (take > 0) {
            std::memcpy(out, oldest.data.data() + oldest.position, take);
            out += take;
            oldest.position += take;
        }
        got += static_cast<std::int64_t>(take);
        if (static_cast<std::int64_t>(take) < want)
            FBlocks.pop_front();
        want -= static_cast<std::int64_t>(take);
        if (want <= 0)
            break;
    }
    return static_cast<std::int32_t>(got);
}

std::int32_t TMemoryQueue::TrueLength() const {
    std::lock_guard lock(FLock);
    std::uint64_t sum = 0;
    for (const Block& b : FBlocks)
        sum += b.data.size() - b.position;
    return Saturate(sum);
}

std::int32_t TMemoryQueue::Length() const {
    std::lock_guard lock(FLock);
    std::uint64_t sum = 0;
    for (const Block& b : FBlocks)
        sum += b.data.size();
    return Saturate(sum);
}

std::int32_t TMemoryQueue::Count() const {
    std::lock_guard lock(FLock);
    return Saturate(FBlocks.size());
}

void TMemoryQueue::Clear() {
    std::deque<Block> released;
    {
        std::lock_guard lock(FLock);
        released.swap(FBlocks);
    }
}

} // namespace corvanel
