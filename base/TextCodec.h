// Text conversions around the audio layer: UTF-8 to the UTF-16 that its openers take with
// BASS_UNICODE, and UTF-8 to and from the system's narrow encoding that its tag reader uses
// (the ANSI code page on Windows, the locale's encoding, UTF-8, elsewhere).
//
// Threads: any thread.
#pragma once

#include <string>
#include <string_view>

namespace corvanel {

// Invalid UTF-8 sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);

} // namespace corvanel
