// Runs the body of a public function: the error code starts at BASS_OK, and no exception
// (allocation failure, a fault in a library) leaves the C API.
#pragma once

#include "audio/include/bass.h"
#include "audio/internal/Registry.h"

#include <new>

namespace corvanel::audio {

template <class T, class F> T apiCall(T failure, F&& body) {
    setError(BASS_OK);
    try {
        return body();
    } catch (const std::bad_alloc&) {
        setError(BASS_ERROR_MEM);
    } catch (...) {
        setError(BASS_ERROR_UNKNOWN);
    }
    return failure;
}

template <class T> T fail(int code, T value) {
    setError(code);
    return value;
}

} // namespace corvanel::audio
