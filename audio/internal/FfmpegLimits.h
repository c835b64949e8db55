// The process-wide FFmpeg settings every user of it in this layer starts with. Any thread.
#pragma once

#include <cstddef>

namespace corvanel::audio {

// The largest block FFmpeg may allocate at once. A damaged or crafted file can name a chunk
// of gigabytes in a few bytes of header; real cover art and packets stay far below this.
inline constexpr std::size_t kMaxFfmpegAllocation = 256u << 20;

// Quiet logging (a damaged file is an ordinary input here) and the allocation limit; the
// first call sets them, later calls do nothing.
void setUpFfmpeg();

} // namespace corvanel::audio
