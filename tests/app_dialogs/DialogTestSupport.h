#pragma once
// Shared pieces of the dialog tests: the application object, an opener that records what it
// was asked (the prompts are ScriptedPrompts), and a loopback HTTP server with a scripted reply.

#include "app/dialogs/HelpOpener.h"
#include "tests/support/window/ScriptedPrompts.h"

#include <QApplication>
#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace corvanel::dialogs::test {

// One QApplication for the whole test program, on the offscreen platform. A GoogleTest
// environment owns it, so that it is destroyed before the program's exit handlers run.
class QtTestEnvironment final : public testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "app_dialogs_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

  private:
    std::unique_ptr<QApplication> app_;
};

// The application that QtTestEnvironment made (registered in QtTestEnvironment.cpp).
inline QApplication& TestApp() {
    return *qobject_cast<QApplication*>(QCoreApplication::instance());
}

class RecordingOpener final : public HelpOpener {
  public:
    std::vector<QUrl> opened;
    void Open(const QUrl& address) override { opened.push_back(address); }
};

// Listens on a free loopback port; for every request it records the request head and
// then writes `reply` verbatim (or nothing at all when `silent`).
class ScriptedServer : public QObject {
  public:
    QByteArray reply;
    bool silent = false;
    int connections = 0;
    QByteArray lastRequestHead;

    ScriptedServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                ++connections;
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Serve(socket); });
            }
        });
    }

    quint16 Port() const { return server_.serverPort(); }
    QByteArray Endpoint() const {
        return "http://127.0.0.1:" + QByteArray::number(Port()) + "/cgi-bin/SoftMsg/message.cgi";
    }

    static QByteArray HttpReply(int status, const QByteArray& reason, const QByteArray& body) {
        return "HTTP/1.1 " + QByteArray::number(status) + " " + reason +
               "\r\nContent-Type: text/plain\r\nContent-Length: " +
               QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    }

  private:
    void Serve(QTcpSocket* socket) {
        buffer_ += socket->readAll();
        const qsizetype end = buffer_.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        lastRequestHead = buffer_.left(end);
        buffer_.clear();
        if (silent)
            return;
        socket->write(reply);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QByteArray buffer_;
};

} // namespace corvanel::dialogs::test
