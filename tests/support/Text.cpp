#include "tests/support/Text.h"

#include <fstream>
#include <iterator>

namespace corvanel::test {

std::string Utf16WithMark(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t ch : text) {
        const char hi = static_cast<char>(ch >> 8);
        const char lo = static_cast<char>(ch & 0xFF);
        bytes += bigEndian ? hi : lo;
        bytes += bigEndian ? lo : hi;
    }
    return bytes;
}

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace corvanel::test
