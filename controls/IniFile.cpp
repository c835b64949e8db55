#include "controls/IniFile.h"

#include "base/MarkedText.h"

#include <QLocale>
#include <QSaveFile>
#include <QString>

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

namespace corvanel {
namespace {

using markedtext::EqualNoCase;
using markedtext::TMark;
using markedtext::Trim;

#ifdef _WIN32
constexpr std::string_view kLineEnd = "\r\n";
#else
constexpr std::string_view kLineEnd = "\n";
#endif

TMark MarkOf(TIniFile::TTextEncoding encoding) {
    switch (encoding) {
    case TIniFile::TTextEncoding::Utf8:
        return TMark::Utf8;
    case TIniFile::TTextEncoding::Utf16LE:
        return TMark::Utf16LE;
    case TIniFile::TTextEncoding::Utf16BE:
        return TMark::Utf16BE;
    case TIniFile::TTextEncoding::Ansi:
        break;
    }
    return TMark::None;
}

TIniFile::TTextEncoding EncodingOf(TMark mark) {
    switch (mark) {
    case TMark::Utf8:
        return TIniFile::TTextEncoding::Utf8;
    case TMark::Utf16LE:
        return TIniFile::TTextEncoding::Utf16LE;
    case TMark::Utf16BE:
        return TIniFile::TTextEncoding::Utf16BE;
    case TMark::None:
        break;
    }
    return TIniFile::TTextEncoding::Ansi;
}

char UserDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80)
        return static_cast<char>(point.at(0).unicode());
    return '.';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

QString ToQString(const std::filesystem::path& path) {
    const std::u16string text = path.u16string();
    return QString::fromStdU16String(text);
}

} // namespace

TIniFile::TIniFile(char decimalSeparator)
    : FDecimalSeparator(decimalSeparator != 0 ? decimalSeparator : UserDecimalSeparator()) {}

TIniFile::TLoadResult TIniFile::LoadFromFile(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::exists(file, error))
        return TLoadResult::Missing;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return TLoadResult::Unreadable;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return TLoadResult::Unreadable;
    LoadFromBytes(bytes.str());
    return TLoadResult::Loaded;
}

void TIniFile::LoadFromBytes(std::string_view bytes) {
    const markedtext::TDecoded decoded = markedtext::Decode(bytes);
    FEncoding = EncodingOf(decoded.Mark);
    Parse(decoded.Text);
}

// What one line of the file holds; `Text` is the section name, or the key of an entry.
struct TIniFile::TLine {
    enum class TKind { Skipped, Section, Entry };
    TKind Kind = TKind::Skipped;
    std::string_view Text;
    std::string_view Value;
    bool HasEquals = false;
};

TIniFile::TLine TIniFile::ReadLine(std::string_view text) {
    const std::string_view line = Trim(text);
    if (line.empty() || line.front() == ';')
        return {};
    if (line.front() == '[' && line.back() == ']' && line.size() >= 2)
        return {TLine::TKind::Section, Trim(line.substr(1, line.size() - 2)), {}, false};
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return {TLine::TKind::Entry, line, {}, false};
    return {TLine::TKind::Entry, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), true};
}

bool TIniFile::CarriedByOneLine(std::string_view text) {
    return text.find_first_of("\r\n") == std::string_view::npos;
}

void TIniFile::Parse(std::string_view text) {
    FSections.clear();
    TSection* current = nullptr;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        const TLine line = ReadLine(text.substr(pos, end - pos));
        pos = end + 1;
        if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n')
            ++pos;

        if (line.Kind == TLine::TKind::Section) {
            current = FindSection(line.Text);
            if (current == nullptr) {
                FSections.push_back({std::string(line.Text), {}});
                current = &FSections.back();
            }
        } else if (line.Kind == TLine::TKind::Entry && current != nullptr) {
            current->Entries.push_back(
                {std::string(line.Text), std::string(line.Value), line.HasEquals});
        }
    }
}

std::string TIniFile::ToText() const {
    std::string text;
    for (const TSection& section : FSections) {
        text += '[';
        text += section.Name;
        text += ']';
        text += kLineEnd;
        for (const TEntry& entry : section.Entries) {
            text += entry.Key;
            if (entry.HasEquals) {
                text += '=';
                text += entry.Value;
            }
            text += kLineEnd;
        }
        text += kLineEnd;
    }
    return text;
}

std::string TIniFile::ToBytes() const {
    return markedtext::Encode(ToText(), MarkOf(FEncoding));
}

bool TIniFile::SaveToFile(const std::filesystem::path& file, std::string* reason) const noexcept {
    try {
        const std::string bytes = ToBytes();
        QSaveFile out(ToQString(file));
        // A folder the user may not create files in can still hold a writable file.
        out.setDirectWriteFallback(true);
        const auto fail = [&] {
            if (reason)
                *reason = out.errorString().toStdString();
            return false;
        };
        if (!out.open(QIODevice::WriteOnly))
            return fail();
        if (out.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
            fail();
            out.cancelWriting();
            return false;
        }
        return out.commit() || fail();
    } catch (...) {
        return false;
    }
}

const TIniFile::TSection* TIniFile::FindSection(std::string_view name) const {
    for (const TSection& section : FSections)
        if (EqualNoCase(section.Name, name))
            return &section;
    return nullptr;
}

TIniFile::TSection* TIniFile::FindSection(std::string_view name) {
    return const_cast<TSection*>(std::as_const(*this).FindSection(name));
}

std::optional<std::string> TIniFile::ReadString(std::string_view section,
                                                std::string_view key) const {
    const TSection* found = FindSection(section);
    if (found == nullptr)
        return std::nullopt;
    for (const TEntry& entry : found->Entries)
        if (entry.HasEquals && EqualNoCase(entry.Key, key))
            return entry.Value;
    return std::nullopt;
}

double TIniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
    const std::optional<std::string> text = ReadString(section, key);
    if (!text)
        return def;
    return ParseFloat(*text).value_or(def);
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                                   std::int32_t def) const {
    const std::optional<std::string> text = ReadString(section, key);
    if (!text)
        return def;
    return ParseInteger(*text).value_or(def);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    // Only what reads back as the same section, key and value is written.
    const std::string sectionLine = "[" + std::string(section) + "]";
    const TLine asSection = ReadLine(sectionLine);
    if (!CarriedByOneLine(section) || asSection.Kind != TLine::TKind::Section ||
        asSection.Text != section)
        return false;
    const std::string entryLine = std::string(key) + "=" + std::string(value);
    const TLine asEntry = ReadLine(entryLine);
    if (!CarriedByOneLine(entryLine) || asEntry.Kind != TLine::TKind::Entry || !asEntry.HasEquals ||
        asEntry.Text != key || asEntry.Value != value)
        return false;

    TSection* target = FindSection(section);
    if (target == nullptr) {
        FSections.push_back({std::string(section), {}});
        target = &FSections.back();
    }
    for (TEntry& entry : target->Entries) {
        if (entry.HasEquals && EqualNoCase(entry.Key, key)) {
            entry.Value = std::string(value);
            return true;
        }
    }
    target->Entries.push_back({std::string(key), std::string(value), true});
    return true;
}

bool TIniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
    if (!std::isfinite(value))
        return false; // would read back as the default
    return WriteString(section, key, FormatFloat(value));
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    return WriteString(section, key, std::to_string(value));
}

bool TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    return WriteString(section, key, value ? "1" : "0");
}

std::vector<std::string> TIniFile::SectionNames() const {
    std::vector<std::string> names;
    for (const TSection& section : FSections)
        names.push_back(section.Name);
    return names;
}

std::string TIniFile::FormatFloat(double value) const {
    if (value == 0.0)
        value = 0.0; // no "-0"
    auto format = [this](double v, auto... precision) {
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, v,
                                          std::chars_format::general, precision...);
        std::string text(buffer, result.ptr);
        for (char& c : text)
            if (c == '.')
                c = FDecimalSeparator;
        return text;
    };
    const std::string text = format(value, 15);
    // Rounded to 15 digits, the largest doubles go beyond the largest double and would not
    // read back: those are written in the shortest form that reads back exactly.
    if (std::isfinite(value) && !ParseFloat(text))
        return format(value);
    return text;
}

std::optional<double> TIniFile::ParseFloat(std::string_view text) const {
    // sign, digits with at most one separator, optional exponent: nothing else (no "inf").
    std::string plain;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            plain += '-';
        ++i;
    }
    bool digits = false;
    while (i < text.size() && IsDigit(text[i])) {
        plain += text[i++];
        digits = true;
    }
    if (i < text.size() && text[i] == FDecimalSeparator) {
        plain += '.';
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            plain += text[i++];
            digits = true;
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            plain += text[i++];
        bool exponentDigits = false;
        while (i < text.size() && IsDigit(text[i])) {
            plain += text[i++];
            exponentDigits = true;
        }
        if (!exponentDigits)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    double value = 0.0;
    const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (result.ec != std::errc() || result.ptr != plain.data() + plain.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> TIniFile::ParseInteger(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint32_t value = 0;
        const char* first = text.data() + 2;
        const char* last = text.data() + text.size();
        const auto result = std::from_chars(first, last, value, 16);
        if (result.ec != std::errc() || result.ptr != last)
            return std::nullopt;
        // Eight hex digits fill the word, so 0xFFFFFFFF reads as -1.
        return static_cast<std::int32_t>(value);
    }
    std::size_t skip = (!text.empty() && text[0] == '+') ? 1 : 0;
    if (skip == 1 && text.size() > 1 && text[1] == '-')
        return std::nullopt;
    std::int32_t value = 0;
    const char* first = text.data() + skip;
    const char* last = text.data() + text.size();
    if (first == last)
        return std::nullopt;
    const auto result = std::from_chars(first, last, value, 10);
    if (result.ec != std::errc() || result.ptr != last)
        return std::nullopt;
    return value;
}

} // namespace corvanel
