#include "audio/internal/Config.h"

#include "audio/include/bass.h"
#include "audio/internal/Registry.h"

#include <atomic>

namespace corvanel::audio {

namespace {
std::atomic<uint32_t> bufferMs{500};
std::atomic<uint32_t> updatePeriodMs{10};
std::atomic<uint32_t> encodeQueueBytes{0};
} // namespace

bool knownConfigOption(uint32_t option) {
    return option == BASS_CONFIG_BUFFER || option == BASS_CONFIG_UPDATEPERIOD ||
           option == BASS_CONFIG_ENCODE_QUEUE;
}

bool setConfigValue(uint32_t option, uint32_t value) {
    switch (option) {
    case BASS_CONFIG_BUFFER:
        if (value < 10 || value > 5000)
            return false;
        bufferMs = value;
        return true;
    case BASS_CONFIG_UPDATEPERIOD:
        if (value < 5 || value > 100)
            return false;
        updatePeriodMs = value;
        return true;
    case BASS_CONFIG_ENCODE_QUEUE:
        encodeQueueBytes = value;
        return true;
    default:
        return false;
    }
}

uint32_t configValue(uint32_t option) {
    switch (option) {
    case BASS_CONFIG_BUFFER:
        return bufferMs;
    case BASS_CONFIG_UPDATEPERIOD:
        return updatePeriodMs;
    case BASS_CONFIG_ENCODE_QUEUE:
        return encodeQueueBytes;
    default:
        return 0;
    }
}

} // namespace corvanel::audio
