#pragma once
// The command line that starts a catalogue encoder for an export run: the quoted program
// path, a space and the template of the chosen quality level with its placeholders filled.
//
// The result is meant to be split into arguments by the rules Windows programs read their
// command line with (quotes group; `""` inside quotes is a literal quote; backslashes escape
// a following quote) and run without a shell. Texts are UTF-8; the sample rate is in Hz.
// Threads: any.
#include "OutputChoice.h"

#include <string>
#include <string_view>

namespace corvanel {

inline constexpr std::string_view kReducedSuffix = " [Reduced]";

// A double quote, the text with every double quote doubled, a double quote. Backslashes
// that would otherwise escape a quote (a run of them before a quote or at the end) are
// doubled as well, so that the text always comes back as exactly one argument.
std::string QuoteArgument(std::string_view text);

// The template of EncodeProgram in Encoders[quality]: the first line whose key matches
// without regard to case; empty when there is none or the quality index is out of range.
std::string EncoderTemplate(const TExportState& state, int quality);

// A stream serial number for encoders that would otherwise pick a random one: the 32-bit
// FNV-1a hash of the output file's name (folders left out), kept below 2^31. The same output
// name gives the same serial, so an export can be repeated byte for byte.
unsigned OutputSerial(std::string_view outputPath);

// `"` EncodeDir EncodeProgram `"`, a space, then the template with every placeholder, matched
// with its exact case, replaced: "<OUTPUT>" -> quoted Edit2, "<SFREQ>" -> sampleRate in
// decimal, "<TITLE>" -> quoted title, "<ARTIST>" -> quoted (artist + " [Reduced]"),
// "<SERIAL>" -> OutputSerial(Edit2) in decimal.
// Only the template is searched: placeholders inside the inserted values stay as they are.
std::string BuildEncoderCommandLine(const TExportState& state, int quality, int sampleRate,
                                    std::string_view title, std::string_view artist);

} // namespace corvanel
