#include "app/dialogs/MessageQuery.h"

#include "app/dialogs/ProgramVersion.h"

#include <QStringEncoder>

namespace corvanel::dialogs {

namespace {
bool PassesUnchanged(unsigned char byte) {
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9'))
        return true;
    switch (byte) {
    case '!':
    case '$':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '-':
    case '.':
    case '@':
    case '_':
        return true;
    default:
        return false;
    }
}
} // namespace

QByteArray ToAnsiCodePage(const QString& text) {
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(text);
}

QByteArray EncodeQueryBytes(const QByteArray& bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0)
            break;
        if (PassesUnchanged(byte)) {
            out.append(c);
        } else if (byte == ' ') {
            out.append('+');
        } else {
            out.append('%');
            out.append(kHex[byte >> 4]);
            out.append(kHex[byte & 0x0F]);
        }
    }
    return out;
}

QByteArray EncodeQueryText(const QString& text) {
    return EncodeQueryBytes(ToAnsiCodePage(text));
}

QString MessageFromEditorText(const QString& editorText) {
    QString text = editorText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

QByteArray BuildMessageQuery(const QByteArray& endpoint, const QString& message) {
    return endpoint + "?Pass=" + kMessagePass + "&Main=" + EncodeQueryText(message) +
           "&soft=" + EncodeQueryText(ProgramTag());
}

QByteArray MessageEndpoint() {
    const QString fromEnvironment = qEnvironmentVariable(kMessageEndpointVariable).trimmed();
    return fromEnvironment.isEmpty() ? QByteArray(kDefaultMessageEndpoint)
                                     : fromEnvironment.toUtf8();
}

} // namespace corvanel::dialogs
