#include "support/LoopbackServer.h"

#include "platform/AppError.h"
#include "platform/Http.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

using namespace platform;

namespace {

// Every request goes straight to the test's own server.
class Http : public ::testing::Test {
protected:
    QString url() const { return server.base + QStringLiteral("/q/version.aui"); }
    testing_support::EnvGuard noProxy{"http_proxy", QByteArray()};
    LoopbackServer server;
};

} // namespace

TEST_F(Http, DocumentsErrorPagesAndGreekPagesAreTextAndABodyCutShortIsAFailure)
{
    server.answer({"HTTP/1.1 302 Moved\r\nLocation: /elsewhere/greek.aui\r\nContent-Length: 0\r\n\r\n"});
    server.answer(LoopbackServer::ok("\xc5\xeb\xeb\xe7\xed\xe9\xea\xdc", 200, {}));   // "Ελληνικά" in Windows-1253
    QtHttpClient client;
    EXPECT_EQ(client.get(url()).text, QString::fromUtf8("Ελληνικά"));   // after a move
    EXPECT_EQ(server.lastRequestLine, "GET /elsewhere/greek.aui HTTP/1.1");

    // Documents and error pages are text, line ends kept; a body cut short is a failure whatever the status.
    const QByteArray head = "HTTP/1.1 200 OK\r\n";
    struct Row { const char* what; QByteArray bytes; int error; const char* text; int status = 200; } rows[] = {
        {"document", LoopbackServer::ok("QMVERSIONINFO|2002.0009.0001|\xce\x9d\xce\xad\xce\xb1|New\r\n", 200, {}).bytes, 0,
         "QMVERSIONINFO|2002.0009.0001|\xce\x9d\xce\xad\xce\xb1|New\r\n"},
        {"error page", LoopbackServer::ok("<html>Not here</html>", 404, {}).bytes, 0, "<html>Not here</html>", 404},
        {"length kept", head + "Content-Length: 5\r\n\r\nhello", 0, "hello"},
        {"length longer than sent", head + "Content-Length: 100\r\n\r\nshort", errInetRequestFailed, ""},
        {"error page cut short", "HTTP/1.1 404 No\r\nContent-Length: 100\r\n\r\nshort", errInetRequestFailed, ""},
        {"two lengths", head + "Content-Length: 5\r\nContent-Length: 4\r\n\r\nhello", errInetRequestFailed, ""},
        {"chunks", head + "Transfer-Encoding: chunked\r\n\r\n3;x=1\r\nhel\r\n2\r\nlo\r\n0\r\nTrailer: t\r\n\r\n", 0, "hello"},
        {"chunk cut short", head + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n10\r\nabc", errInetRequestFailed, ""},
        {"last chunk missing", head + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n", errInetRequestFailed, ""},
        {"chunk size not a number", head + "Transfer-Encoding: chunked\r\n\r\nzz\r\nhello\r\n0\r\n\r\n", errInetRequestFailed, ""},
        {"body up to the close", head + "\r\nhello", 0, "hello"},
        {"head cut short", head + "Content-Le", errInetRequestFailed, ""},
        {"no response", "", errInetRequestFailed, ""},
    };
    for (const Row& row : rows) {
        server.answer({row.bytes});
        const HttpResult got = client.get(url());
        EXPECT_EQ(got.error, row.error) << row.what;
        EXPECT_EQ(got.text, QString::fromUtf8(row.text)) << row.what;
        EXPECT_TRUE(row.error || got.status == row.status) << row.what << " " << got.status;
    }
}

// A server that answers with a status line and then header lines without end.
TEST_F(Http, AHeaderFloodEndsAtTheDeadlineOrAtTheHeadBound)
{
    QTcpServer flood;
    ASSERT_TRUE(flood.listen(QHostAddress::LocalHost));
    QList<QPointer<QTcpSocket>> connections;
    int lineBytes = 0;
    QObject::connect(&flood, &QTcpServer::newConnection, [&] {
        QTcpSocket* s = flood.nextPendingConnection();
        connections << s;
        s->write("HTTP/1.1 200 OK\r\n");
        auto* tick = new QTimer(s);
        QObject::connect(tick, &QTimer::timeout, s, [s, &lineBytes] {
            if (s->bytesToWrite() < 1024 * 1024)
                s->write("X-Pad: " + QByteArray(lineBytes, 'a') + "\r\n");
        });
        tick->start(1);
    });
    const QString address = QStringLiteral("http://127.0.0.1:%1/v").arg(flood.serverPort());
    HttpOptions quick;
    quick.timeoutMs = 300;
    // A trickle stays under the bound: the deadline ends it. A torrent
    // passes the bound long before the deadline.
    lineBytes = 1;
    EXPECT_EQ(QtHttpClient().get(address, quick).error, errInetTimeout);
    lineBytes = 16 * 1024;
    quick.timeoutMs = 60000;
    EXPECT_EQ(QtHttpClient().get(address, quick).error, errInetRequestFailed);
    // Each connection is dropped by the time the call returns, so the next
    // request is answered at once.
    for (const QPointer<QTcpSocket>& s : connections) {
        for (int i = 0; i < 100 && s && s->state() == QAbstractSocket::ConnectedState; ++i)
            s->waitForDisconnected(50);
        EXPECT_TRUE(!s || s->state() != QAbstractSocket::ConnectedState);
    }
    server.answer(LoopbackServer::ok("fine"));
    EXPECT_EQ(QtHttpClient().get(url()).text, QStringLiteral("fine"));
}

TEST_F(Http, TimeOutOversizeCancelRefusedConnectionAndBadAddress)
{
    QtHttpClient client;
    server.answer({LoopbackServer::ok("late").bytes, 60000});   // a stall
    server.answer(LoopbackServer::ok(QByteArray(3 * 1024 * 1024, 'x')));
    server.answer({LoopbackServer::ok("late").bytes, 60000});
    int asked = 0;
    const struct { const char* what; HttpOptions options; std::function<bool()> cancel; int error; } rows[] = {
        {"stall", HttpOptions{.timeoutMs = 300}, {}, errInetTimeout},
        {"larger than the default bound", {}, {}, errInetTooLarge},
        {"cancelled", {}, [&] { return ++asked > 3; }, 0},
    };
    for (const auto& r : rows) {
        const HttpResult got = client.get(url(), r.options, r.cancel);
        EXPECT_EQ(got.error, r.error) << r.what;
        EXPECT_EQ(got.cancelled, r.error == 0) << r.what;
        EXPECT_TRUE(got.text.isEmpty()) << r.what;
    }

    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    EXPECT_EQ(QtHttpClient().get(QStringLiteral("http://127.0.0.1:%1/x").arg(port)).error, errInetCannotConnect);
    EXPECT_EQ(QtHttpClient().get("ftp://example.org/x").error, errInetBadAddress);
}

TEST(HttpProxy, TakesTheRequestWhenOneIsSet)
{
    LoopbackServer proxy;
    proxy.answer(LoopbackServer::ok("doc"));
    const testing_support::EnvGuard via("http_proxy", proxy.base.toLatin1());
    const HttpResult r = QtHttpClient().get("http://updates.quillmarsh.invalid/files/version.aui");
    EXPECT_EQ(r.error, 0);
    ASSERT_EQ(proxy.requests, 1);
    EXPECT_EQ(proxy.lastRequestLine, "GET http://updates.quillmarsh.invalid/files/version.aui HTTP/1.1");
}
