#pragma once
// The command line that starts a catalogue encoder for an export run: the quoted program
// path, a space and the template of the chosen quality level with its placeholders filled.
//
// The result is meant to be split into arguments by the rules Windows programs read their
// command line with (quotes group; `""` inside quotes is a literal quote; backslashes escape
// a following quote) and run without a shell. Texts are UTF-8; the sample rate is in Hz.
// Threads: any.
#include "export/OutputChoice.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace corvanel {

inline constexpr std::string_view kReducedSuffix = " [Reduced]";

// The longest tag value put on a command line, in bytes: the whole line must stay within
// what the system lets a program be started with.
inline constexpr std::size_t kMaxTagValueBytes = 1024;

// The text cut to at most maxBytes bytes, never inside a UTF-8 character.
std::string_view LimitTagValue(std::string_view text, std::size_t maxBytes = kMaxTagValueBytes);

// A double quote, the text with every double quote doubled, a double quote. Backslashes
// that would otherwise escape a quote (a run of them before a quote or at the end) are
// doubled as well, so that the text always comes back as exactly one argument.
std::string QuoteArgument(std::string_view text);

// The program path as the first argument: a double quote, the path with every double quote
// doubled, a double quote. Backslashes stay as they are (the program name takes no escapes).
std::string QuoteProgram(std::string_view path);

// The template of EncodeProgram in Encoders[quality]: the first line whose key matches
// without regard to case; empty when there is none or the quality index is out of range.
std::string EncoderTemplate(const TExportState& state, int quality);

// A stream serial number for encoders that would otherwise pick a random one: the 32-bit
// FNV-1a hash of the output file's name (folders left out), kept below 2^31. The same output
// name gives the same serial, so an export can be repeated byte for byte.
unsigned OutputSerial(std::string_view outputPath);

// Whether every quoted placeholder ("<OUTPUT>", "<TITLE>", "<ARTIST>") of the template sits
// where its value, whatever it holds, comes back as exactly that text inside one argument:
// outside a quoted part, not after a backslash and not just before a double quote.
bool TemplateKeepsValuesWhole(std::string_view tmpl);

// QuoteProgram(EncodeDir EncodeProgram), a space, then the template with every placeholder,
// matched with its exact case, replaced: "<OUTPUT>" -> quoted Edit2, "<SFREQ>" -> sampleRate
// in decimal, "<TITLE>" -> quoted title, "<ARTIST>" -> quoted (artist + " [Reduced]"),
// "<SERIAL>" -> OutputSerial(Edit2) in decimal. Title and artist are each cut to
// kMaxTagValueBytes first. Only the template is searched:
// placeholders inside the inserted values stay as they are.
std::string BuildEncoderCommandLine(const TExportState& state, int quality, int sampleRate,
                                    std::string_view title, std::string_view artist);

} // namespace corvanel
