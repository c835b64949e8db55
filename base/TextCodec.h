// The program's text conversions: UTF-8 to and from the UTF-16 that the audio layer's openers
// and encoders take with BASS_UNICODE, and UTF-8 to and from the system's narrow encoding that
// its tag reader uses (the ANSI code page on Windows, the locale's encoding, UTF-8, elsewhere).
//
// Threads: any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvanel {

// Invalid UTF-8 sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// Zero-terminated UTF-16 to UTF-8. Empty if the text is null or holds an unpaired surrogate.
std::optional<std::string> Utf16ToUtf8(const char16_t* text);
// Unpaired surrogates become U+FFFD; null gives empty text.
std::string Utf16ToUtf8Lossy(const char16_t* text);
std::string Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);

} // namespace corvanel
