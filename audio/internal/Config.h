// Values of the BASS_SetConfig options. Any thread; each value is read and written whole.
#pragma once

#include <cstdint>

namespace corvanel::audio {

// False if the option is unknown or the value outside its range.
bool setConfigValue(uint32_t option, uint32_t value);
bool knownConfigOption(uint32_t option);

} // namespace corvanel::audio
