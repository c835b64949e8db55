// Why the calling thread's last failed encoder call failed, in words (for a message to the
// user); the error code alone says only the kind. Empty after a call that succeeded.
// Threads: per thread, like the error code.
#pragma once

#include <string>

namespace corvanel::audio::encode {

const std::string& lastFailureDetail();
void setLastFailureDetail(std::string detail);

// What the encoder program of the last failed call wrote to its standard error (its last
// lines); empty when it said nothing or the failure was not the program's.
const std::string& lastProgramMessages();
void setLastProgramMessages(std::string messages);

} // namespace corvanel::audio::encode
