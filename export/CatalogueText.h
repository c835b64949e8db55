#pragma once
// Text helpers of the encoder catalogue: decoding by byte-order mark and comparison without
// regard to case. UTF-8 inside. Any thread. Private to this library.
#include <string>
#include <string_view>

namespace corvanel::catalogue_text {

// UTF-8, UTF-16 LE or BE by the mark; without one, the locale's encoding (bytes are kept as
// they are where that is UTF-8).
std::string Decode(std::string_view bytes);

bool EqualNoCase(std::string_view a, std::string_view b);

std::string_view Trim(std::string_view text);

} // namespace corvanel::catalogue_text
