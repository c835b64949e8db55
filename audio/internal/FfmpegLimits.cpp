#include "audio/internal/FfmpegLimits.h"

extern "C" {
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

#include <mutex>

namespace corvanel::audio {

void setUpFfmpeg() {
    static std::once_flag done;
    std::call_once(done, [] {
        av_log_set_level(AV_LOG_FATAL);
        av_max_alloc(kMaxFfmpegAllocation);
    });
}

} // namespace corvanel::audio
