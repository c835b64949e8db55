// TagList: the tag values of the current source as name–value lines ("TITLE", "ARTIST",
// "ALBUM", "GENRE", "YEAR"), name and value joined by the separator character 30. Text is
// UTF-8.
//
// Threads: UI thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvanel {

class TagList {
  public:
    static constexpr char kDefaultSeparator = '=';

    void Clear() { FLines.clear(); }
    void Add(std::string line) { FLines.push_back(std::move(line)); }
    // Replaces the lines with text split at its line breaks (CR LF, LF or CR); a break at the
    // very end adds no empty line.
    void SetText(std::string_view text);
    // Every line followed by CR LF.
    std::string Text() const;

    char NameValueSeparator() const { return FSeparator; }
    void SetNameValueSeparator(char separator) { FSeparator = separator; }

    // The value of the first line whose name equals name ignoring ASCII case; empty if none.
    std::string Value(std::string_view name) const;
    // The name of line i (the whole line if it has no separator).
    std::string Name(std::size_t i) const;

    const std::vector<std::string>& Lines() const { return FLines; }
    std::size_t Count() const { return FLines.size(); }

  private:
    std::vector<std::string> FLines;
    char FSeparator = kDefaultSeparator;
};

} // namespace corvanel
