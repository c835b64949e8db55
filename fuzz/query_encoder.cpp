// The message query: encoded bytes hold only the characters that pass unchanged, "+" and
// "%XX", decode back to the bytes before the first zero, and the whole query keeps its three
// fields.
#include "fuzz/FuzzInput.h"
#include "app/dialogs/MessageQuery.h"

#include <QByteArray>
#include <QString>

using namespace corvanel::dialogs;

namespace {

bool Passes(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           QByteArray("!$'()*-.@_").contains(c);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray encoded = EncodeQueryBytes(bytes);
    QByteArray decoded;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '+') {
            decoded += ' ';
        } else if (c == '%') {
            CORVANEL_FUZZ_CHECK(i + 2 < encoded.size());
            const int high = HexDigit(encoded[i + 1]), low = HexDigit(encoded[i + 2]);
            CORVANEL_FUZZ_CHECK(high >= 0 && low >= 0);
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            CORVANEL_FUZZ_CHECK(Passes(c));
            decoded += c;
        }
    }
    const qsizetype zero = bytes.indexOf('\0');
    CORVANEL_FUZZ_CHECK(decoded == (zero < 0 ? bytes : bytes.left(zero)));

    const QString text = QString::fromUtf8(bytes);
    const QByteArray query = BuildMessageQuery("https://example.invalid/m.cgi", text);
    CORVANEL_FUZZ_CHECK(query.count('?') == 1 && query.count('&') == 2 && query.count('=') == 3);
    CORVANEL_FUZZ_CHECK(query.startsWith("https://example.invalid/m.cgi?Pass="));
    return 0;
}
