// Splitting of an encoder command line into program arguments, by the rules Windows programs
// use to read their own command line, so that one catalogue template means the same thing on
// every platform. The result is passed to the program as is: no shell ever sees it.
//
// Text is UTF-8; the split works on bytes, and every separator and quote is ASCII.
// Any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvanel {

// Rules:
// - the first argument (the program) ends at the next space or tab, or, when it opens with a
//   double quote, at the next double quote that is not doubled (text right after it starts the
//   next argument); inside those quotes `""` is one literal double quote; backslashes are kept
//   as they are in it;
// - after it, spaces and tabs separate arguments outside double quotes; a double quote opens or
//   closes a quoted part, and a quoted part may be empty (`""` alone is an empty argument);
// - inside a quoted part, `""` is one literal double quote and the quoted part goes on;
// - 2n backslashes before a double quote give n backslashes and the quote acts as above;
//   2n+1 backslashes before a double quote give n backslashes and a literal double quote;
//   backslashes not followed by a double quote are kept as they are.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

} // namespace corvanel
