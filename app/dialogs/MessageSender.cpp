#include "app/dialogs/MessageSender.h"

#include "app/dialogs/MessageQuery.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

#include <utility>

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

MessageSender::MessageSender(MessageSenderSettings settings)
    : settings_(std::move(settings)), manager_(std::make_unique<QNetworkAccessManager>()),
      deadline_(std::make_unique<QTimer>()) {
    manager_->setProxy(QNetworkProxy::NoProxy);
    deadline_->setSingleShot(true);
    QObject::connect(deadline_.get(), &QTimer::timeout, [this] { Finish(true); });
}

MessageSender::~MessageSender() {
    Cancel();
}

void MessageSender::Cancel() {
    deadline_->stop();
    done_ = nullptr;
    if (QNetworkReply* reply = std::exchange(reply_, nullptr)) {
        QObject::disconnect(reply, nullptr, nullptr, nullptr);
        reply->abort();
        reply->deleteLater();
    }
}

void MessageSender::Start(const QString& message, Done done) {
    Cancel();
    const QUrl url = QUrl::fromEncoded(BuildMessageQuery(settings_.endpoint, message));
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        SendOutcome outcome;
        outcome.errorMessage = QStringLiteral("Invalid message endpoint address: %1")
                                   .arg(QString::fromUtf8(settings_.endpoint));
        if (done)
            done(outcome);
        return;
    }

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setRawHeader("Accept", kMessageAccept);
    request.setRawHeader("User-Agent", kMessageUserAgent);

    done_ = std::move(done);
    reply_ = manager_->get(request);
    QObject::connect(reply_, &QNetworkReply::finished, [this] { Finish(false); });
    deadline_->start(settings_.timeout);
}

void MessageSender::Finish(bool timedOut) {
    deadline_->stop();
    QNetworkReply* reply = std::exchange(reply_, nullptr);
    if (!reply)
        return;
    QObject::disconnect(reply, nullptr, nullptr, nullptr);
    if (timedOut)
        reply->abort();
    reply->deleteLater();
    const Done done = std::exchange(done_, nullptr);

    SendOutcome outcome;
    const QUrl url = reply->url();
    if (timedOut) {
        outcome.errorMessage = QStringLiteral("Connection to %1 timed out: no reply within %2")
                                   .arg(url.host(), DurationText(settings_.timeout));
    } else if (reply->error() != QNetworkReply::NoError) {
        outcome.errorMessage = reply->errorString();
    } else if (const int status =
                   reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
               status < 200 || status > 299) {
        // Redirects are not followed, and a redirect is no confirmation either.
        outcome.errorMessage =
            QStringLiteral("Error transferring %1 - server replied: %2 %3")
                .arg(url.toDisplayString(QUrl::RemoveQuery), QString::number(status),
                     reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    } else {
        outcome.replyBody = DecodeBody(reply->readAll(), DeclaredCharset(*reply));
        outcome.kind = outcome.replyBody == QLatin1String(kMessageSuccessReply)
                           ? SendOutcome::Kind::Delivered
                           : SendOutcome::Kind::Refused;
    }
    if (done)
        done(outcome);
}

} // namespace corvanel::dialogs
