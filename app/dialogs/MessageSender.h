#pragma once
// Sends one message to the author with one HTTP GET and judges the reply. UI thread only:
// Send blocks the caller until the reply, a failure or the time-out, running a local event
// loop that handles no user input meanwhile.

#include <QByteArray>
#include <QString>

#include <chrono>

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
    explicit MessageSender(MessageSenderSettings settings);

    // Sends the message as it stands (the caller decides about empty text).
    SendOutcome Send(const QString& message) const;

  private:
    MessageSenderSettings settings_;
};

} // namespace corvanel::dialogs
