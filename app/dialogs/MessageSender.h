#pragma once
// Sends one message to the author with one HTTP GET and judges the reply. UI thread only:
// Start returns at once and the outcome arrives through the event loop, so the window stays
// usable (and closable) while the server takes its time.

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace corvanel::dialogs {

struct MessageSenderSettings {
    QByteArray endpoint;                       // whole address, without the query
    std::chrono::milliseconds timeout{30'000}; // the whole request, connect to last byte
};

// The endpoint of MessageEndpoint() and a time-out of 30 seconds.
MessageSenderSettings DefaultMessageSenderSettings();

struct SendOutcome {
    enum class Kind {
        Delivered, // the reply body was exactly "Successful!"
        Refused,   // a reply came, but some other body
        Failed,    // the client's own failure: no connection, HTTP error status, time-out
    };
    Kind kind = Kind::Failed;
    QString replyBody;    // decoded with the reply's declared charset (Refused, Delivered)
    QString errorMessage; // the client's message (Failed)
};

class MessageSender {
  public:
    using Done = std::function<void(const SendOutcome&)>;

    explicit MessageSender(MessageSenderSettings settings);
    // Cancels a request still under way.
    ~MessageSender();
    MessageSender(const MessageSender&) = delete;
    MessageSender& operator=(const MessageSender&) = delete;

    // Sends the message as it stands (the caller decides about empty text); `done` runs
    // once, from the event loop (or at once for an unusable address), unless the request is
    // cancelled first. A request still under way is cancelled.
    void Start(const QString& message, Done done);
    // Drops the request under way, if any; its `done` never runs.
    void Cancel();
    bool Busy() const { return reply_ != nullptr; }

  private:
    void Finish(bool timedOut);

    MessageSenderSettings settings_;
    std::unique_ptr<QNetworkAccessManager> manager_;
    std::unique_ptr<QTimer> deadline_;
    QNetworkReply* reply_ = nullptr;
    Done done_;
};

} // namespace corvanel::dialogs
