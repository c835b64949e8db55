// File name arguments of the public API: UTF-16 with BASS_UNICODE, else narrow text in the
// locale's encoding (UTF-8 on Linux), both returned as UTF-8. Any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvanel::audio {

// Empty if the text is not valid UTF-16 (an unpaired surrogate) or is null.
std::optional<std::string> pathArgument(const void* text, uint32_t flags);

} // namespace corvanel::audio
