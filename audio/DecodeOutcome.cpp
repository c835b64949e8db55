#include "audio/include/DecodeOutcome.h"

#include "audio/internal/FileStream.h"
#include "audio/internal/Registry.h"

namespace corvanel::audio {

bool decodeStoppedEarly(uint32_t handle) {
    const auto stream = lookupAs<FileStream>(handle);
    return stream && stream->stoppedEarly();
}

} // namespace corvanel::audio
