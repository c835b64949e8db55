#include "MessageSender.h"

#include "MessageQuery.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

namespace corvanel::dialogs {

namespace {
QByteArray DeclaredCharset(const QNetworkReply& reply) {
    const QByteArray contentType = reply.rawHeader("Content-Type");
    for (QByteArray part : contentType.split(';')) {
        part = part.trimmed();
        if (part.toLower().startsWith("charset=")) {
            QByteArray name = part.mid(8).trimmed();
            if (name.size() >= 2 && name.startsWith('"') && name.endsWith('"'))
                name = name.mid(1, name.size() - 2);
            return name;
        }
    }
    return {};
}

// Undeclared or unknown charsets fall back to ISO-8859-1, HTTP/1.1's default for text.
QString DecodeBody(const QByteArray& body, const QByteArray& charset) {
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid()) {
            QString text = decoder.decode(body);
            if (!decoder.hasError())
                return text;
        }
    }
    return QString::fromLatin1(body);
}

QString DurationText(std::chrono::milliseconds timeout) {
    if (timeout.count() % 1000 == 0)
        return QStringLiteral("%1 s").arg(timeout.count() / 1000);
    return QStringLiteral("%1 ms").arg(timeout.count());
}
} // namespace

MessageSenderSettings DefaultMessageSenderSettings() {
    return MessageSenderSettings{MessageEndpoint(), std::chrono::milliseconds(30'000)};
}

MessageSender::MessageSender(MessageSenderSettings settings) : settings_(std::move(settings)) {}

SendOutcome MessageSender::Send(const QString& message) const {
    SendOutcome outcome;
    const QUrl url = QUrl::fromEncoded(BuildMessageQuery(settings_.endpoint, message));
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        outcome.errorMessage = QStringLiteral("Invalid message endpoint address: %1")
                                   .arg(QString::fromUtf8(settings_.endpoint));
        return outcome;
    }

    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setRawHeader("Accept", kMessageAccept);
    request.setRawHeader("User-Agent", kMessageUserAgent);

    QNetworkReply* reply = manager.get(request);
    bool timedOut = false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
        loop.quit();
    });
    if (!reply->isFinished()) {
        deadline.start(settings_.timeout);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        deadline.stop();
    }

    if (timedOut) {
        outcome.errorMessage = QStringLiteral("Connection to %1 timed out: no reply within %2")
                                   .arg(url.host(), DurationText(settings_.timeout));
        return outcome;
    }
    if (reply->error() != QNetworkReply::NoError) {
        outcome.errorMessage = reply->errorString();
        return outcome;
    }
    // Redirects are not followed, and a redirect is no confirmation either.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status < 200 || status > 299) {
        outcome.errorMessage =
            QStringLiteral("Error transferring %1 - server replied: %2 %3")
                .arg(url.toDisplayString(QUrl::RemoveQuery), QString::number(status),
                     reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        return outcome;
    }
    outcome.replyBody = DecodeBody(reply->readAll(), DeclaredCharset(*reply));
    outcome.kind = outcome.replyBody == QLatin1String(kMessageSuccessReply)
                       ? SendOutcome::Kind::Delivered
                       : SendOutcome::Kind::Refused;
    return outcome;
}

} // namespace corvanel::dialogs
