#include "dsp/ReduceProc.h"

namespace corvanel {

ReduceProcessor& TheReduceProcessor() {
    static ReduceProcessor processor(VR);
    return processor;
}

TMemoryQueue& SoundQueue = TheReduceProcessor().SoundQueue();
TMemoryQueue& HistoryQueue = TheReduceProcessor().HistoryQueue();
TMemoryQueue& TailQueue = TheReduceProcessor().TailQueue();

void ReduceProc(std::uint32_t handle, std::uint32_t, void* buffer, std::uint32_t length,
                void*) noexcept {
    TheReduceProcessor().Process(handle, buffer, length);
}

} // namespace corvanel
