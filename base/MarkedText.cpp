#include "base/MarkedText.h"

#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace corvanel::markedtext {
namespace {

bool StartsWith(std::string_view bytes, std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
}

bool IsAscii(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SystemIsUtf8() {
    QStringEncoder probe(QStringConverter::System);
    const QByteArray bytes = probe.encode(QStringView(u"\u00e9"));
    return bytes == QByteArray("\xc3\xa9");
}

std::string Decode(std::string_view bytes, QStringConverter::Encoding encoding) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), std::size_t(utf8.size()));
}

std::string Encode(std::string_view utf8, QStringConverter::Encoding encoding) {
    QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

} // namespace

TDecoded Decode(std::string_view bytes) {
    if (StartsWith(bytes, "\xEF\xBB\xBF"))
        return {TMark::Utf8, std::string(bytes.substr(3))};
    if (StartsWith(bytes, "\xFF\xFE"))
        return {TMark::Utf16LE, Decode(bytes.substr(2), QStringConverter::Utf16LE)};
    if (StartsWith(bytes, "\xFE\xFF"))
        return {TMark::Utf16BE, Decode(bytes.substr(2), QStringConverter::Utf16BE)};
    if (SystemIsUtf8())
        return {TMark::None, std::string(bytes)};
    return {TMark::None, Decode(bytes, QStringConverter::System)};
}

std::string Encode(std::string_view utf8, TMark mark) {
    switch (mark) {
    case TMark::Utf8:
        return "\xEF\xBB\xBF" + std::string(utf8);
    case TMark::Utf16LE:
        return "\xFF\xFE" + Encode(utf8, QStringConverter::Utf16LE);
    case TMark::Utf16BE:
        return "\xFE\xFF" + Encode(utf8, QStringConverter::Utf16BE);
    case TMark::None:
        break;
    }
    if (SystemIsUtf8())
        return std::string(utf8);
    return Encode(utf8, QStringConverter::System);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (AsciiLower(a[i]) != AsciiLower(b[i]))
                return false;
        return true;
    }
    return QString::fromUtf8(a.data(), qsizetype(a.size()))
               .compare(QString::fromUtf8(b.data(), qsizetype(b.size())), Qt::CaseInsensitive) == 0;
}

std::string_view Trim(std::string_view text) {
    // Control characters count as white space, as in the usual INI readers.
    std::size_t first = 0;
    while (first < text.size() && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    std::size_t last = text.size();
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

} // namespace corvanel::markedtext
