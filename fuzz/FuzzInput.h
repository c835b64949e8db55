#pragma once
// What every fuzz target shares: the input taken apart into texts, and a check that stops
// the process (so both libFuzzer and the replay report the input).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace corvanel::fuzz {

// `count` texts, split at zero bytes; missing ones are empty and the last takes the rest.
inline std::vector<std::string_view> SplitFields(const std::uint8_t* data, std::size_t size,
                                                 std::size_t count) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> fields;
    while (fields.size() + 1 < count) {
        const std::size_t zero = rest.find('\0');
        if (zero == std::string_view::npos)
            break;
        fields.push_back(rest.substr(0, zero));
        rest.remove_prefix(zero + 1);
    }
    fields.push_back(rest);
    fields.resize(count);
    return fields;
}

[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}

} // namespace corvanel::fuzz

#define CORVANEL_FUZZ_CHECK(condition)                                                             \
    ((condition) ? static_cast<void>(0) : corvanel::fuzz::Fail(#condition, __FILE__, __LINE__))
