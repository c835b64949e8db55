#include "audio/internal/DspChain.h"

#include <algorithm>

namespace corvanel::audio {

void DspChain::add(const Entry& entry) {
    std::lock_guard guard(lock_);
    // Equal priorities run in the order they were set.
    auto at = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& e) { return e.priority < entry.priority; });
    entries_.insert(at, entry);
}

bool DspChain::remove(HDSP handle) {
    std::lock_guard guard(lock_);
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& e) { return e.handle == handle; });
    if (it == entries_.end())
        return false;
    entries_.erase(it);
    return true;
}

std::vector<HDSP> DspChain::clear() {
    std::lock_guard guard(lock_);
    std::vector<HDSP> handles;
    for (const Entry& e : entries_)
        handles.push_back(e.handle);
    entries_.clear();
    return handles;
}

void DspChain::run(DWORD channel, void* buffer, DWORD bytes) {
    {
        std::lock_guard guard(lock_);
        if (entries_.empty())
            return;
        running_ = entries_;
    }
    for (const Entry& e : running_)
        e.proc(e.handle, channel, buffer, bytes, e.user);
}

} // namespace corvanel::audio
