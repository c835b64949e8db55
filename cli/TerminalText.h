#pragma once
// Text as a terminal shows it: how many columns a UTF-8 text takes (East Asian wide and
// fullwidth characters two, combining marks none), cutting a text to a number of columns,
// and whether a terminal type can move the cursor, which redrawing lines in place needs.
//
// Bytes that are not valid UTF-8 count one column each, as a terminal shows a replacement
// character for them. Threads: any; nothing shared.
#include <string>
#include <string_view>

namespace corvanel::cli {

int CharacterColumns(char32_t c);
int TextColumns(std::string_view utf8);
// The longest start of the text that takes at most `columns` columns, cut between
// characters.
std::string FitColumns(std::string_view utf8, int columns);

// False for an empty or unset TERM and for "dumb" (what editors' shells and some CI set).
bool CursorCanMove(const char* term);

} // namespace corvanel::cli
