#include "CatalogueText.h"

#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace corvanel::catalogue_text {
namespace {

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
    return probe.encode(QStringView(u"\u00e9")) == QByteArray("\xc3\xa9");
}

std::string DecodeWith(std::string_view bytes, QStringConverter::Encoding encoding) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    const QByteArray utf8 =
        QString(decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())))).toUtf8();
    return std::string(utf8.constData(), std::size_t(utf8.size()));
}

} // namespace

std::string Decode(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        return std::string(bytes.substr(3));
    if (bytes.substr(0, 2) == "\xFF\xFE")
        return DecodeWith(bytes.substr(2), QStringConverter::Utf16LE);
    if (bytes.substr(0, 2) == "\xFE\xFF")
        return DecodeWith(bytes.substr(2), QStringConverter::Utf16BE);
    if (SystemIsUtf8())
        return std::string(bytes);
    return DecodeWith(bytes, QStringConverter::System);
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

} // namespace corvanel::catalogue_text
