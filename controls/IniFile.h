#pragma once
// A settings file in INI form, held in memory: read whole, changed, written back whole.
//
// Text is UTF-8 inside. Sections and keys match without regard to case; the first matching
// key wins. Rewriting keeps every section and entry (lines without "=" too) in order and
// drops comments, empty lines and lines before the first section. A file that starts with a
// byte-order mark (UTF-8, UTF-16 LE/BE) is written back in that encoding with its mark; any
// other file is read and written in the locale's encoding (bytes pass through untouched where
// that is UTF-8).
//
// Threads: any, one object per thread. Nothing here throws out of SaveToFile.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel {

class TIniFile {
  public:
    enum class TTextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };
    enum class TLoadResult { Loaded, Missing, Unreadable };

    // decimalSeparator: the one character floats are written and read with; 0 takes the
    // user's number format.
    explicit TIniFile(char decimalSeparator = 0);

    TLoadResult LoadFromFile(const std::filesystem::path& file);
    // Raw file content, byte-order mark included.
    void LoadFromBytes(std::string_view bytes);
    // The file's content as the program writes it, encoded, with the mark it was read with.
    std::string ToBytes() const;
    // The same as UTF-8 text without a mark.
    std::string ToText() const;
    // Whole file at once; false (never an exception) when it cannot be written.
    // On failure `reason`, when given, receives the system's reason.
    bool SaveToFile(const std::filesystem::path& file,
                    std::string* reason = nullptr) const noexcept;

    TTextEncoding Encoding() const { return FEncoding; }
    char DecimalSeparator() const { return FDecimalSeparator; }

    // nullopt when the section or key is missing; an empty value is returned as such.
    std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
    // Missing key, empty value or text that is not a number: the default.
    double ReadFloat(std::string_view section, std::string_view key, double def) const;
    // Decimal, or hexadecimal after "0x"/"0X"; 32 bits.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t def) const;
    // Read as an integer, non-zero meaning true.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    // Replaces the value of the first matching key (its spelling stays) or appends the key to
    // the section, which is appended to the file when missing. Refused (false, nothing
    // changed) when the file could not carry it back as the same section, key and value: a
    // line break anywhere, white space at either end of a name or value, a key holding "=",
    // starting with ";" or making its line read as a section.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    // General decimal form, up to 15 significant digits (more where 15 would not read back).
    // Infinity and NaN are refused.
    bool WriteFloat(std::string_view section, std::string_view key, double value);
    bool WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    bool WriteBool(std::string_view section, std::string_view key, bool value);

    std::vector<std::string> SectionNames() const;

    // The number text forms, exposed for the file's users and tests.
    std::string FormatFloat(double value) const;
    std::optional<double> ParseFloat(std::string_view text) const;
    static std::optional<std::int32_t> ParseInteger(std::string_view text);

  private:
    struct TEntry {
        std::string Key;
        std::string Value;
        bool HasEquals = true;
    };
    struct TSection {
        std::string Name;
        std::vector<TEntry> Entries;
    };

    struct TLine;
    // The one rule of what a line holds, for reading and for checking what is written.
    static TLine ReadLine(std::string_view line);
    static bool CarriedByOneLine(std::string_view text);
    void Parse(std::string_view text);
    const TSection* FindSection(std::string_view name) const;
    TSection* FindSection(std::string_view name);

    std::vector<TSection> FSections;
    TTextEncoding FEncoding = TTextEncoding::Ansi;
    char FDecimalSeparator = '.';
};

} // namespace corvanel
