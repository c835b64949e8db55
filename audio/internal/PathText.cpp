#include "audio/internal/PathText.h"

#include "audio/include/bass.h"
#include "base/TextCodec.h"

namespace corvanel::audio {

std::optional<std::string> pathArgument(const void* text, uint32_t flags) {
    if (text == nullptr)
        return std::nullopt;
    if (flags & BASS_UNICODE)
        return Utf16ToUtf8(static_cast<const char16_t*>(text));
    return std::string(static_cast<const char*>(text));
}

} // namespace corvanel::audio
