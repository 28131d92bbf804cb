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
        // Interim answers come first, each head with its own lines, then the one answer.
        {"after interim answers",
         "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 103 Early Hints\r\nContent-Length: 9\r\n\r\n" + head
             + "Content-Length: 5\r\n\r\nhello",
         0, "hello"},
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

    // A first line that is no status line is a failed request, and no status came.
    for (const QByteArray first : {"SMTP/1.0 200 OK", "HTTP/1.1", "HTTP/1.1 OK fine", "<html>hello</html>"}) {
        server.answer({first + "\r\nContent-Length: 5\r\n\r\nhello"});
        const HttpResult got = client.get(url());
        EXPECT_EQ(got.error, errInetRequestFailed) << first.constData();
        EXPECT_EQ(got.status, 0) << first.constData();
        EXPECT_EQ(got.text, QString()) << first.constData();
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

// How a response says where its body ends, and what is made of each way.
TEST_F(Http, TransferCodingsOverrideTheLengthAndOnlyChunkedAloneIsRead)
{
    const QByteArray head = "HTTP/1.1 200 OK\r\n";
    const QByteArray chunks = "3\r\nabc\r\n4\r\ndefg\r\n0\r\n\r\n";
    // gzip of "abcdefg", in one chunk.
    const QByteArray gzip = QByteArray::fromHex("1f8b08000000000002034b4c4a4e494d4b0700a66a2a3107000000");
    const QByteArray gzipChunks = QByteArray::number(gzip.size(), 16) + "\r\n" + gzip + "\r\n0\r\n\r\n";
    struct Row { const char* what; QByteArray bytes; const char* text; } rows[] = {
        {"chunked", head + "Transfer-Encoding: chunked\r\n\r\n" + chunks, "abcdefg"},
        {"chunked, any case", head + "transfer-encoding: Chunked\r\n\r\n" + chunks, "abcdefg"},
        {"chunked over a length", head + "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n" + chunks, "abcdefg"},
        {"chunked then gzip, with a length", head + "Transfer-Encoding: chunked, gzip\r\nContent-Length: 5\r\n\r\n" + chunks, nullptr},
        {"gzip then chunked", head + "Transfer-Encoding: gzip, chunked\r\n\r\n" + gzipChunks, nullptr},
        {"gzip then chunked, in two lines", head + "Transfer-Encoding: gzip\r\nTransfer-Encoding: chunked\r\n\r\n" + gzipChunks, nullptr},
        {"gzip alone, with a length", head + "Transfer-Encoding: gzip\r\nContent-Length: 27\r\n\r\n" + gzip, nullptr},
        {"chunked twice", head + "Transfer-Encoding: chunked, chunked\r\n\r\n" + chunks, nullptr},
        {"identity", head + "Transfer-Encoding: identity\r\nContent-Length: 3\r\n\r\nabc", nullptr},
        {"empty coding", head + "Transfer-Encoding: \r\nContent-Length: 3\r\n\r\nabc", nullptr},
        {"length", head + "Content-Length: 3\r\n\r\nabc", "abc"},
        {"length repeated alike", head + "Content-Length: 3\r\nContent-Length: 3\r\n\r\nabc", "abc"},
        {"length with a sign", head + "Content-Length: +3\r\n\r\nabc", nullptr},
        {"length not a number", head + "Content-Length: 3x\r\n\r\nabc", nullptr},
        {"empty length", head + "Content-Length:\r\n\r\nabc", nullptr},
        // A chunk size is hexadecimal digits, then at most blanks and an extension.
        {"chunk size in capitals, blank before an extension",
         head + "Transfer-Encoding: chunked\r\n\r\nA ;x=1\r\nabcdefghij\r\n0\r\n\r\n", "abcdefghij"},
        {"chunk size with a sign", head + "Transfer-Encoding: chunked\r\n\r\n+3\r\nabc\r\n4\r\ndefg\r\n0\r\n\r\n", nullptr},
        {"chunk size with 0x", head + "Transfer-Encoding: chunked\r\n\r\n0x3\r\nabc\r\n4\r\ndefg\r\n0\r\n\r\n", nullptr},
        {"last chunk with a sign", head + "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n4\r\ndefg\r\n-0\r\n\r\n", nullptr},
        {"chunk size after a blank", head + "Transfer-Encoding: chunked\r\n\r\n 3\r\nabc\r\n4\r\ndefg\r\n0\r\n\r\n", nullptr},
    };
    QtHttpClient client;
    for (const Row& row : rows) {
        server.answer({row.bytes});
        const HttpResult got = client.get(url());
        EXPECT_EQ(got.error, row.text ? 0 : errInetRequestFailed) << row.what;
        EXPECT_EQ(got.text, QString::fromLatin1(row.text)) << row.what;
    }
}

// A reset reaches the client as a close does, over TLS too: a body that only
// the close ends may have been cut anywhere, so one that must be whole needs
// a length or chunks.
TEST(HttpFraming, ABodyThatOnlyTheCloseEndsIsRefusedWhenItMustBeWhole)
{
    const testing_support::EnvGuard noProxy("http_proxy", QByteArray());
    const testing_support::EnvGuard noSecureProxy("https_proxy", QByteArray());
    const QByteArray document = "QMVERSIONINFO|2099.0001.0002|1|en|gr|http://a.test/quillmarsh-setup.zip";
    const QByteArray cut = document.chopped(20);
    const QByteArray head = "HTTP/1.1 200 OK\r\n";
    const QByteArray length = "Content-Length: " + QByteArray::number(document.size()) + "\r\n";
    struct Row { const char* what; LoopbackServer::Answer answer; bool whole; } rows[] = {
        {"no length, cut by a reset", {head + "\r\n" + cut, 0, true}, false},
        {"no length, closed", {head + "\r\n" + document}, false},
        {"a length, cut by a reset", {head + length + "\r\n" + cut, 0, true}, false},
        {"a length, whole", {head + length + "\r\n" + document}, true},
        {"chunks, whole", {head + "Transfer-Encoding: chunked\r\n\r\n" + QByteArray::number(document.size(), 16) + "\r\n"
                           + document + "\r\n0\r\n\r\n"}, true},
    };
    HttpOptions framed;
    framed.framedBodyOnly = true;
    for (const LoopbackServer::Kind kind : {LoopbackServer::Plain, LoopbackServer::Tls}) {
        LoopbackServer server(kind);
        for (const Row& row : rows) {
            server.answer(row.answer);
            const HttpResult got = QtHttpClient().get(server.base + "/v", framed);
            EXPECT_EQ(got.error, row.whole ? 0 : errInetRequestFailed) << row.what << " " << server.base.toStdString();
            EXPECT_EQ(got.text, row.whole ? QString::fromLatin1(document) : QString()) << row.what;
        }
        EXPECT_EQ(server.requests, int(std::size(rows)));
    }
}

namespace {

// A web proxy on 127.0.0.1 that answers CONNECT: it opens the tunnel to the
// port asked for on 127.0.0.1, refuses, or answers with header lines
// without end.
struct ConnectProxy {
    enum Mode { Tunnel, Refuse, Flood };
    explicit ConnectProxy(Mode mode)
    {
        server.listen(QHostAddress::LocalHost);
        address = QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()).toLatin1();
        QObject::connect(&server, &QTcpServer::newConnection, [this, mode] {
            QTcpSocket* c = server.nextPendingConnection();
            QObject::connect(c, &QTcpSocket::readyRead, c, [this, mode, c] {
                if (c->property("answered").toBool())
                    return;
                QByteArray asked = c->property("asked").toByteArray() + c->readAll();
                c->setProperty("asked", asked);
                if (!asked.contains("\r\n\r\n"))
                    return;
                c->setProperty("answered", true);
                requestLine = asked.left(asked.indexOf("\r\n"));
                if (mode == Refuse) {
                    c->write("HTTP/1.1 403 No\r\nContent-Length: 0\r\n\r\n");
                    c->disconnectFromHost();
                } else if (mode == Flood) {
                    c->write("HTTP/1.1 200 OK\r\n");
                    auto* tick = new QTimer(c);
                    QObject::connect(tick, &QTimer::timeout, c, [this, c] {
                        sent = written - c->bytesToWrite();
                        while (c->bytesToWrite() < 1024 * 1024) {
                            const QByteArray line = "X-Flood: " + QByteArray(1024, 'a') + "\r\n";
                            written += c->write(line);
                        }
                    });
                    tick->start(1);
                } else {
                    auto* up = new QTcpSocket(c);
                    QObject::connect(up, &QTcpSocket::connected, c, [c] { c->write("HTTP/1.1 200 Open\r\n\r\n"); });
                    QObject::connect(up, &QTcpSocket::readyRead, c, [c, up] { c->write(up->readAll()); });
                    QObject::connect(c, &QTcpSocket::readyRead, up, [c, up] { up->write(c->readAll()); });
                    QObject::connect(up, &QTcpSocket::disconnected, c, [c] { c->disconnectFromHost(); });
                    up->connectToHost(QHostAddress::LocalHost, quint16(requestLine.split(':').value(1).split(' ').value(0).toUInt()));
                }
            });
        });
    }
    QTcpServer server;
    QByteArray address;
    QByteArray requestLine;
    qint64 written = 0;
    qint64 sent = 0;   // taken off the proxy's hands by the kernel, as of the last tick
};

} // namespace

TEST(HttpProxy, HttpsTunnelsThroughItAndItsAnswerIsBounded)
{
    const testing_support::EnvGuard noExceptions("no_proxy", QByteArray());
    LoopbackServer target(LoopbackServer::Tls);
    target.answer(LoopbackServer::ok("secret"));
    const QString url = target.base + "/files/version.aui";
    {
        ConnectProxy proxy(ConnectProxy::Tunnel);
        const testing_support::EnvGuard via("http_proxy", proxy.address);
        const testing_support::EnvGuard secureVia("https_proxy", proxy.address);
        const HttpResult r = QtHttpClient().get(url);
        EXPECT_EQ(r.error, 0);
        EXPECT_EQ(r.text, "secret");
        EXPECT_EQ(proxy.requestLine, "CONNECT 127.0.0.1:" + QByteArray::number(target.listener->serverPort()) + " HTTP/1.1");
        EXPECT_EQ(target.lastRequestLine, "GET /files/version.aui HTTP/1.1");
    }
    {
        ConnectProxy proxy(ConnectProxy::Refuse);
        const testing_support::EnvGuard via("http_proxy", proxy.address);
        const testing_support::EnvGuard secureVia("https_proxy", proxy.address);
        EXPECT_EQ(QtHttpClient().get(url).error, errInetCannotConnect);
    }
    {
        // The answer is given up on once it is longer than any head may be:
        // what the proxy got rid of is that plus what the kernel's buffers
        // hold, far from what it could send until the deadline.
        ConnectProxy proxy(ConnectProxy::Flood);
        const testing_support::EnvGuard via("http_proxy", proxy.address);
        const testing_support::EnvGuard secureVia("https_proxy", proxy.address);
        HttpOptions options;
        options.timeoutMs = 5000;
        EXPECT_EQ(QtHttpClient().get(url, options).error, errInetRequestFailed);
        EXPECT_LT(proxy.sent, 16 * 1024 * 1024);
        EXPECT_EQ(target.requests, 1);
    }
}
