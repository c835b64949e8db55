#include "Utf16.h"

namespace corvanel::audio::encode {

namespace {

void appendCodePoint(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::string utf16ToUtf8(const char16_t* text) {
    std::string out;
    if (text == nullptr)
        return out;
    for (const char16_t* p = text; *p != 0; ++p) {
        const char32_t unit = *p;
        if (unit >= 0xD800 && unit <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            appendCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (char32_t{p[1]} - 0xDC00));
            ++p;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            appendCodePoint(out, 0xFFFD);
        } else {
            appendCodePoint(out, unit);
        }
    }
    return out;
}

} // namespace corvanel::audio::encode
