#include "tests/app_dialogs/DialogTestSupport.h"
#include "app/dialogs/MessageQuery.h"
#include "app/dialogs/TFormSendMessage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace corvanel::dialogs {
namespace {

using corvanel::test::PromptCall;
using corvanel::test::ScriptedPrompts;
using test::ScriptedServer;

const QString kSent = QStringLiteral("送信が完了しました。");
const QString kNotSent = QStringLiteral("送信に失敗しました。時間をおいてもう一度お試しください。");

// A dialog with a memo text, sending to the given endpoint.
struct SendFixture {
    ScriptedPrompts prompts;
    TFormSendMessage dialog;

    SendFixture(const QByteArray& endpoint, std::chrono::milliseconds timeout,
                const QString& memoText)
        : dialog(nullptr, prompts, MessageSenderSettings{endpoint, timeout}) {
        dialog.Memo1->setPlainText(memoText);
    }
    bool Closed() const { return dialog.result() == QDialog::Accepted; }
    // The send button, then the event loop until the outcome is in.
    void Send() {
        dialog.Button1Click();
        QElapsedTimer waited;
        waited.start();
        while (!dialog.Button1->isEnabled() && waited.elapsed() < 30'000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
};

class MessageSending : public testing::Test {
  protected:
    void SetUp() override { test::TestApp(); }
};

TEST_F(MessageSending, RequestLineAndHeadersAreExact) {
    ScriptedServer server;
    server.reply = ScriptedServer::HttpReply(200, "OK", "Successful!");
    SendFixture f(server.Endpoint(), std::chrono::seconds(20), QStringLiteral("a b&=~'\nok"));
    f.Send();

    const QList<QByteArray> head = server.lastRequestHead.split('\n');
    ASSERT_FALSE(head.isEmpty());
    // QUrl writes the unreserved "~" plainly instead of %7E; RFC 3986 makes the two equal.
    EXPECT_EQ(head.first().trimmed().toStdString(),
              "GET /cgi-bin/SoftMsg/message.cgi?Pass=k4w7pz2m&Main=a+b%26%3D~'%0D%0Aok"
              "&soft=Corvanel+(x64)+1.03 HTTP/1.1");
    EXPECT_TRUE(
        head.contains("Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r"));
    EXPECT_TRUE(head.contains("User-Agent: Mozilla/3.0 (compatible; Indy Library)\r"));
}

TEST_F(MessageSending, EmptyMessageSendsNothing) {
    ScriptedServer server;
    server.reply = ScriptedServer::HttpReply(200, "OK", "Successful!");
    SendFixture f(server.Endpoint(), std::chrono::seconds(20), QString());
    f.Send();
    QCoreApplication::processEvents();
    EXPECT_EQ(server.connections, 0);
    EXPECT_TRUE(f.prompts.calls.empty());
    EXPECT_FALSE(f.Closed());
}

struct ReplyCase {
    const char* name;
    QByteArray reply;
    PromptCall::Kind shown;
    bool closes;
};

class ReplyJudgement : public MessageSending, public testing::WithParamInterface<ReplyCase> {};

TEST_P(ReplyJudgement, ShowsTheRightBoxAndKeepsTheTextUnlessDelivered) {
    ScriptedServer server;
    server.reply = GetParam().reply;
    const QString text = QStringLiteral("こんにちは\nthanks for the program");
    SendFixture f(server.Endpoint(), std::chrono::seconds(20), text);
    f.Send();

    EXPECT_EQ(server.connections, 1);
    ASSERT_EQ(f.prompts.calls.size(), 1u);
    EXPECT_EQ(f.prompts.calls[0].kind, GetParam().shown);
    if (GetParam().shown == PromptCall::Kind::Inform) {
        EXPECT_EQ(f.prompts.calls[0].text, kSent);
    } else if (GetParam().shown == PromptCall::Kind::Error) {
        EXPECT_EQ(f.prompts.calls[0].text, kNotSent);
    } else {
        EXPECT_FALSE(f.prompts.calls[0].text.isEmpty());
    }
    EXPECT_EQ(f.Closed(), GetParam().closes);
    EXPECT_EQ(f.dialog.Memo1->toPlainText(), text);
    EXPECT_TRUE(f.dialog.Button1->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyJudgement,
    testing::Values(
        ReplyCase{"Exact", ScriptedServer::HttpReply(200, "OK", "Successful!"),
                  PromptCall::Kind::Inform, true},
        ReplyCase{"LowerCase", ScriptedServer::HttpReply(200, "OK", "successful!"),
                  PromptCall::Kind::Error, false},
        ReplyCase{"TrailingLineBreak", ScriptedServer::HttpReply(200, "OK", "Successful!\n"),
                  PromptCall::Kind::Error, false},
        ReplyCase{"Empty", ScriptedServer::HttpReply(200, "OK", ""), PromptCall::Kind::Error,
                  false},
        ReplyCase{"RedirectNotFollowed",
                  "HTTP/1.1 302 Found\r\nLocation: /elsewhere\r\nContent-Length: 11\r\n"
                  "Connection: close\r\n\r\nSuccessful!",
                  PromptCall::Kind::Failure, false},
        ReplyCase{"NotFound", ScriptedServer::HttpReply(404, "Not Found", "Successful!"),
                  PromptCall::Kind::Failure, false},
        ReplyCase{"ServerError",
                  ScriptedServer::HttpReply(500, "Internal Server Error", "Successful!"),
                  PromptCall::Kind::Failure, false}),
    [](const testing::TestParamInfo<ReplyCase>& row) { return std::string(row.param.name); });

TEST_F(MessageSending, DeclaredCharsetDecodesTheReply) {
    ScriptedServer server;
    server.reply = "HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=\"utf-16le\"\r\n"
                   "Content-Length: 22\r\nConnection: close\r\n\r\n" +
                   QByteArray(reinterpret_cast<const char*>(u"Successful!"), 22);
    SendFixture f(server.Endpoint(), std::chrono::seconds(20), QStringLiteral("hi"));
    f.Send();
    ASSERT_EQ(f.prompts.calls.size(), 1u);
    EXPECT_EQ(f.prompts.calls[0].kind, PromptCall::Kind::Inform);
}

TEST_F(MessageSending, RefusedConnectionReachesTheGeneralErrorDisplay) {
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    SendFixture f("http://127.0.0.1:" + QByteArray::number(closedPort) +
                      "/cgi-bin/SoftMsg/message.cgi",
                  std::chrono::seconds(20), QStringLiteral("hello"));
    f.Send();
    ASSERT_EQ(f.prompts.calls.size(), 1u);
    EXPECT_EQ(f.prompts.calls[0].kind, PromptCall::Kind::Failure);
    EXPECT_TRUE(f.prompts.calls[0].text.contains(QStringLiteral("refused"), Qt::CaseInsensitive))
        << f.prompts.calls[0].text.toStdString();
    EXPECT_FALSE(f.Closed());
    EXPECT_EQ(f.dialog.Memo1->toPlainText(), QStringLiteral("hello"));
}

TEST_F(MessageSending, ServerThatNeverAnswersTimesOut) {
    ScriptedServer server;
    server.silent = true;
    SendFixture f(server.Endpoint(), std::chrono::seconds(1), QStringLiteral("hello"));
    f.Send();
    EXPECT_EQ(server.connections, 1);
    ASSERT_EQ(f.prompts.calls.size(), 1u);
    EXPECT_EQ(f.prompts.calls[0].kind, PromptCall::Kind::Failure);
    EXPECT_TRUE(f.prompts.calls[0].text.contains(QStringLiteral("timed out")))
        << f.prompts.calls[0].text.toStdString();
    EXPECT_FALSE(f.Closed());
}

// The window stays usable while the server takes its time: closing the dialog ends the
// request at once, and nothing is reported for it afterwards.
TEST_F(MessageSending, ClosingTheDialogWhileTheServerIsSilentCancelsTheSend) {
    ScriptedServer server;
    server.silent = true;
    SendFixture f(server.Endpoint(), std::chrono::seconds(1), QStringLiteral("hello"));
    f.dialog.show();
    QElapsedTimer clock;
    clock.start();
    f.dialog.Button1->click();
    EXPECT_LT(clock.elapsed(), 500) << "the send button blocked the event loop";
    QElapsedTimer waited;
    waited.start();
    while (server.connections == 0 && waited.elapsed() < 5'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(server.connections, 1);

    f.dialog.Button2->click();
    EXPECT_FALSE(f.dialog.isVisible());
    EXPECT_EQ(f.dialog.result(), QDialog::Rejected);
    // Past the request's time-out: the cancelled request reports nothing.
    waited.restart();
    while (waited.elapsed() < 1500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(f.prompts.calls.empty());
}

TEST_F(MessageSending, MalformedEndpointIsAFailureNotACrash) {
    SendFixture f("not an address", std::chrono::seconds(1), QStringLiteral("hello"));
    f.Send();
    ASSERT_EQ(f.prompts.calls.size(), 1u);
    EXPECT_EQ(f.prompts.calls[0].kind, PromptCall::Kind::Failure);
}

// The reference endpoint in tools/, started on a free loopback port.
class ReferenceEndpoint : public MessageSending {
  protected:
    void SetUp() override {
        MessageSending::SetUp();
        ASSERT_TRUE(dir_.isValid());
        logPath_ = dir_.filePath(QStringLiteral("messages.log"));
        process_.setProgram(QStringLiteral("python3"));
        process_.setArguments({QStringLiteral(CORVANEL_SOURCE_DIR "/tools/message_endpoint.py"),
                               QStringLiteral("--port"), QStringLiteral("0"),
                               QStringLiteral("--log"), logPath_, QStringLiteral("--quiet")});
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
        ASSERT_TRUE(process_.waitForStarted(10'000));
        while (!process_.canReadLine() && process_.waitForReadyRead(10'000)) {
        }
        const QByteArray line = process_.readLine().trimmed();
        ASSERT_TRUE(line.startsWith("listening on "))
            << line.toStdString() << process_.readAllStandardError().toStdString();
        endpoint_ = line.mid(13);
    }
    void TearDown() override {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5'000);
        }
    }
    QByteArray Log() const {
        QFile file(logPath_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
    QString logPath_;
    QProcess process_;
    QByteArray endpoint_;
};

TEST_F(ReferenceEndpoint, DeliveredMessageIsLoggedAndClosesTheDialog) {
    SendFixture f(endpoint_, std::chrono::seconds(20),
                  QStringLiteral("こんにちは & よろしく\n100% = great?"));
    f.Send();
    ASSERT_EQ(f.prompts.calls.size(), 1u);
    EXPECT_EQ(f.prompts.calls[0].kind, PromptCall::Kind::Inform);
    EXPECT_EQ(f.prompts.calls[0].text, kSent);
    EXPECT_TRUE(f.Closed());
    const QString log = QString::fromUtf8(Log());
    EXPECT_TRUE(log.startsWith(QStringLiteral("--- "))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral(" Corvanel (x64) 1.03\n"
                                            "こんにちは & よろしく\n100% = great?\n")))
        << log.toStdString();
}

TEST_F(ReferenceEndpoint, WrongPassIsRefusedAndNotLogged) {
    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(QNetworkRequest(
        QUrl::fromEncoded(endpoint_ + "?Pass=wrong&Main=hi&soft=Corvanel+(x64)+1.03")));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_TRUE(reply->isFinished());
    EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 403);
    EXPECT_TRUE(Log().isEmpty());
}

} // namespace
} // namespace corvanel::dialogs
