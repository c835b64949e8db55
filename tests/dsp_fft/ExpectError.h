// Expecting the program's exception with an exact message.
#pragma once

#include "dsp/CorvanelError.h"

#include <gtest/gtest.h>

#include <functional>

namespace dsp_test {

// Runs f and expects a CorvanelError with exactly this message.
inline void ExpectError(const std::function<void()>& f, const char* message) {
    try {
        f();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const corvanel::CorvanelError& e) {
        EXPECT_STREQ(e.what(), message);
    }
}

} // namespace dsp_test
