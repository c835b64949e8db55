// How a file stream's decoding ended, beyond the end of data that every channel reports.
// Any thread.
#pragma once

#include <cstdint>

namespace corvanel::audio {

// Whether the file stream's data ended before the end of its file because the rest could not
// be read or decoded: what it delivered is then only the part before the damage. False for
// any other handle, before the end and after a seek.
bool decodeStoppedEarly(uint32_t handle);

} // namespace corvanel::audio
