#pragma once
// What a batch will write: the output format from the encoder catalogue, and for each input
// its output path, or the reason it cannot be written (same path as an input, written twice
// in the batch, already there without --force).
//
// Paths and texts are UTF-8. Threads: any; reads the file system only.
#include "cli/CliOptions.h"
#include "export/EncoderCatalogue.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::cli {

struct TOutputFormat {
    std::string Extension;     // with its dot, as the output names get it: ".mp3"
    std::string EncodeProgram; // the catalogue entry that writes it
    std::string Error;         // non-empty: a usage error (extension the catalogue lacks)
    // Non-empty when the entry's program is not in the encoder folder: every file fails.
    std::string Missing;
};

// The extension comes from -o when it names a file (and -f, if also given, must agree), else
// from -f, else "wav". The entry is the first "EXTENSION" line with that extension, ignoring case.
TOutputFormat ChooseOutputFormat(const TCliOptions& options, const TEncoderCatalogue& catalogue,
                                 std::string_view encodeDir);

// "dir/song.mp3" with ".flac" -> "song_vr.flac"; a name without a dot gets the suffix added.
std::string OutputNameFor(std::string_view inputPath, std::string_view extension);

struct TPlannedFile {
    std::string Input;
    std::string Output;
    std::string Error; // non-empty: this file fails without being started
};

// One entry per input, in order. -o is taken as it stands; otherwise the output goes into
// -d or beside the input. Standard output ("-") is never refused.
std::vector<TPlannedFile> PlanBatch(const TCliOptions& options, std::string_view extension);

} // namespace corvanel::cli
