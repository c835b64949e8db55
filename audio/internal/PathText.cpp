#include "audio/internal/PathText.h"

#include "audio/include/bass.h"

namespace corvanel::audio {

namespace {

void appendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Converts zero-terminated UTF-16; an unpaired surrogate becomes `replacement`, or ends the
// conversion with nullopt when there is none.
std::optional<std::string> convert(const char16_t* text, std::optional<uint32_t> replacement) {
    std::string out;
    for (const char16_t* p = text; *p != 0; ++p) {
        uint32_t c = *p;
        if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (uint32_t{p[1]} - 0xDC00);
            ++p;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            if (!replacement)
                return std::nullopt;
            c = *replacement;
        }
        appendUtf8(out, c);
    }
    return out;
}

} // namespace

std::optional<std::string> utf16ToUtf8(const char16_t* text) {
    if (text == nullptr)
        return std::nullopt;
    return convert(text, std::nullopt);
}

std::string utf16ToUtf8Lossy(const char16_t* text) {
    if (text == nullptr)
        return {};
    return *convert(text, 0xFFFD);
}

std::optional<std::string> pathArgument(const void* text, uint32_t flags) {
    if (text == nullptr)
        return std::nullopt;
    if (flags & BASS_UNICODE)
        return utf16ToUtf8(static_cast<const char16_t*>(text));
    return std::string(static_cast<const char*>(text));
}

} // namespace corvanel::audio
