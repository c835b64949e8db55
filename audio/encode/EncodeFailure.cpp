#include "audio/include/EncodeFailure.h"

namespace corvanel::audio::encode {

namespace {
thread_local std::string tlsDetail;
thread_local std::string tlsProgramMessages;
} // namespace

const std::string& lastFailureDetail() {
    return tlsDetail;
}
void setLastFailureDetail(std::string detail) {
    tlsDetail = std::move(detail);
}

const std::string& lastProgramMessages() {
    return tlsProgramMessages;
}
void setLastProgramMessages(std::string messages) {
    tlsProgramMessages = std::move(messages);
}

} // namespace corvanel::audio::encode
