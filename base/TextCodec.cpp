#include "base/TextCodec.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace corvanel {

namespace {

// Length of the sequence a lead byte starts, 0 for a byte that cannot lead.
int SequenceLength(unsigned char c) {
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return 2;
    if (c >= 0xE0 && c <= 0xEF)
        return 3;
    if (c >= 0xF0 && c <= 0xF4)
        return 4;
    return 0;
}

#ifdef _WIN32
std::string Convert(std::string_view text, UINT from, UINT to) {
    if (text.empty())
        return {};
    const int wide =
        MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), w.data(), wide);
    const int narrow = WideCharToMultiByte(to, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(to, 0, w.data(), wide, out.data(), narrow, nullptr, nullptr);
    return out;
}
#endif

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

std::optional<std::string> Utf16ToUtf8(const char16_t* text) {
    if (text == nullptr)
        return std::nullopt;
    return convert(text, std::nullopt);
}

std::string Utf16ToUtf8Lossy(const char16_t* text) {
    if (text == nullptr)
        return {};
    return *convert(text, 0xFFFD);
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int n = SequenceLength(lead);
        char32_t cp = 0xFFFD;
        int used = 1;
        if (n == 1) {
            cp = lead;
        } else if (n > 1 && i + static_cast<std::size_t>(n) <= utf8.size()) {
            char32_t v = lead & (0x7F >> n);
            bool ok = true;
            for (int k = 1; k < n && ok; ++k) {
                const auto c = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
                ok = (c & 0xC0) == 0x80;
                v = (v << 6) | (c & 0x3F);
            }
            // Overlong forms, surrogates and values past U+10FFFF are not characters.
            const bool shortest = (n == 3 && v >= 0x800) || (n == 4 && v >= 0x10000) || n == 2;
            if (ok && shortest && !(v >= 0xD800 && v <= 0xDFFF) && v <= 0x10FFFF) {
                cp = v;
                used = n;
            }
        }
        i += static_cast<std::size_t>(used);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
#ifdef _WIN32
    return Convert(utf8, CP_UTF8, CP_ACP);
#else
    return std::string(utf8);
#endif
}

std::string AnsiToUtf8(std::string_view ansi) {
#ifdef _WIN32
    return Convert(ansi, CP_ACP, CP_UTF8);
#else
    return std::string(ansi);
#endif
}

} // namespace corvanel
