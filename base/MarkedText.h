#pragma once
// Text files with an optional byte-order mark, and comparison without regard to case.
// Shared by the settings file and the encoder catalogue. UTF-8 inside. Any thread.
#include <string>
#include <string_view>

namespace corvanel::markedtext {

enum class TMark { None, Utf8, Utf16LE, Utf16BE };

struct TDecoded {
    TMark Mark = TMark::None;
    std::string Text; // UTF-8
};

// A file without a mark is in the locale's encoding; where that is UTF-8 its bytes are kept
// as they are, so that nothing the program does not understand is changed on rewrite.
TDecoded Decode(std::string_view bytes);
std::string Encode(std::string_view utf8, TMark mark);

bool EqualNoCase(std::string_view a, std::string_view b);

std::string_view Trim(std::string_view text);

} // namespace corvanel::markedtext
