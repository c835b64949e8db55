// Conversion of the library's UTF-16 text arguments (zero-terminated) to UTF-8.
// Unpaired surrogates become U+FFFD. Any thread.
#pragma once

#include <string>

namespace corvanel::audio::encode {

std::string utf16ToUtf8(const char16_t* text);

} // namespace corvanel::audio::encode
