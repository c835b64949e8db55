#include "EncodeFailure.h"

namespace corvanel::audio::encode {

namespace {
thread_local std::string tlsDetail;
}

const std::string& lastFailureDetail() {
    return tlsDetail;
}
void setLastFailureDetail(std::string detail) {
    tlsDetail = std::move(detail);
}

} // namespace corvanel::audio::encode
