// Tiny tagged audio files made at test time with the ffmpeg program.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace corvanel::test {

struct TagSet {
    std::string title, artist, album, genre, date;
};

bool haveFfmpeg();

// Writes 0.2 s of stereo silence with `codec` into `path`, tagged with the non-empty values
// of `tags`. False if ffmpeg failed.
bool makeTaggedFile(const std::filesystem::path& path, const std::string& codec,
                    const TagSet& tags);

} // namespace corvanel::test
