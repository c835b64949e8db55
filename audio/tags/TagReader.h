// Tag values of an audio file (ID3v1/v2, Vorbis comments, MP4 atoms, ASF attributes, read
// through FFmpeg's container and stream metadata), and the expansion of a tag format text.
//
// Text is UTF-8. Threads: any; no shared state.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace corvanel::audio::tags {

struct TagValues {
    std::string title;
    std::string artist;
    std::string album;
    std::string genre;
    std::string year; // the first four-digit run of the date, else the date as stored
};

// nullopt when the file cannot be opened as media or is not a regular file (a pipe); a file
// without tags gives empty values. Values hold no control characters: each line break and
// other control character in a stored value is read as a space.
std::optional<TagValues> readTags(const std::filesystem::path& path);

// Replaces every "%TITL", "%ARTI", "%ALBM", "%GNRE" and "%YEAR" (exact case) by its value;
// all other text, other '%' sequences included, stays as it is. Values are inserted as they
// are and never expanded again.
std::string expandTagFormat(std::string_view format, const TagValues& values);

// The year from a date text: its first run of four digits, else the trimmed text.
std::string yearFromDate(std::string_view date);

} // namespace corvanel::audio::tags
