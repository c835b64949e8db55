// The DSP routines attached to one channel, run in priority order (higher first) on each
// block the channel renders.
//
// add/remove: any thread. run: the thread that renders the channel (audio thread, or the
// caller of BASS_ChannelGetData), with the channel's render lock held.
#pragma once

#include "audio/include/bass.h"

#include <mutex>
#include <vector>

namespace corvanel::audio {

class DspChain {
  public:
    struct Entry {
        HDSP handle = 0;
        DSPPROC proc = nullptr;
        void* user = nullptr;
        int priority = 0;
    };

    void add(const Entry& entry);
    bool remove(HDSP handle);
    // Removes every entry and returns their handles.
    std::vector<HDSP> clear();
    void run(DWORD channel, void* buffer, DWORD bytes);

  private:
    std::mutex lock_;
    std::vector<Entry> entries_;
    std::vector<Entry> running_; // copy used by run(), so routines may add or remove others
};

} // namespace corvanel::audio
