#include "support/TempDrive.h"

#include "platform/AppError.h"
#include "platform/Http.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

using namespace platform;

namespace {

// A tiny HTTP server on 127.0.0.1 that answers by path and remembers the
// request lines it saw.
class TestServer {
public:
    TestServer()
    {
        testing_support::ensureCoreApplication();
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { answer(s); });
            }
        });
    }
    QString url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path);
    }
    QTcpServer server;
    QStringList requestLines;

private:
    void answer(QTcpSocket* s)
    {
        QByteArray& buf = pending[s];
        buf += s->readAll();
        if (!buf.contains("\r\n\r\n"))
            return;
        const QByteArray line = buf.left(buf.indexOf("\r\n"));
        requestLines << QString::fromLatin1(line);
        const QByteArray target = line.split(' ').value(1);
        if (target.endsWith("/stall"))
            return;   // never answers
        QByteArray status = "200 OK";
        QByteArray body;
        if (target.endsWith("/version.aui")) {
            body = "QMVERSIONINFO|2002.0009.0001|\xce\x9d\xce\xad\xce\xb1|New\r\n";
        } else if (target.endsWith("/greek-ansi")) {
            body = "\xc5\xeb\xeb\xe7\xed\xe9\xea\xdc";   // "Ελληνικά" in Windows-1253
        } else if (target.endsWith("/big")) {
            body = QByteArray(3 * 1024 * 1024, 'x');
        } else {
            status = "404 Not Found";
            body = "<html>Not here</html>";
        }
        s->write("HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) +
                 "\r\nConnection: close\r\n\r\n" + body);
        s->disconnectFromHost();
    }
    std::map<QTcpSocket*, QByteArray> pending;
};

class NoProxy {
public:
    NoProxy() : m_old(qgetenv("http_proxy")) { qunsetenv("http_proxy"); }
    ~NoProxy()
    {
        if (!m_old.isNull())
            qputenv("http_proxy", m_old);
    }

private:
    QByteArray m_old;
};

} // namespace

TEST(Http, WholeDocumentAsText)
{
    NoProxy np;
    TestServer server;
    QtHttpClient client;
    const HttpResult r = client.get(server.url("/q/version.aui"));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.text, QString::fromUtf8("QMVERSIONINFO|2002.0009.0001|Νέα|New\r\n"));   // line ends kept
}

TEST(Http, ErrorPageIsADocumentToo)
{
    NoProxy np;
    TestServer server;
    const HttpResult r = QtHttpClient().get(server.url("/nothing"));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.status, 404);
    EXPECT_EQ(r.text, QStringLiteral("<html>Not here</html>"));
}

TEST(Http, GreekAnsiPageIsDecoded)
{
    NoProxy np;
    TestServer server;
    EXPECT_EQ(QtHttpClient().get(server.url("/greek-ansi")).text, QString::fromUtf8("Ελληνικά"));
}

TEST(Http, TimeOutOversizeRefusedAndCancel)
{
    NoProxy np;
    TestServer server;
    QtHttpClient client;
    HttpOptions quick;
    quick.timeoutMs = 300;
    const HttpResult stalled = client.get(server.url("/stall"), quick);
    EXPECT_EQ(stalled.error, errInetTimeout);
    EXPECT_TRUE(stalled.text.isEmpty());

    HttpOptions small;
    small.maxBytes = 1024 * 1024;
    const HttpResult big = client.get(server.url("/big"), small);
    EXPECT_EQ(big.error, errInetTooLarge);
    EXPECT_TRUE(big.text.isEmpty());

    int asked = 0;
    const HttpResult cancelled = client.get(server.url("/stall"), {}, [&] { return ++asked > 3; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.error, 0);
    EXPECT_TRUE(cancelled.text.isEmpty());
}

TEST(Http, RefusedConnectionIsAnError)
{
    NoProxy np;
    testing_support::ensureCoreApplication();
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    const HttpResult r = QtHttpClient().get(QStringLiteral("http://127.0.0.1:%1/x").arg(port));
    EXPECT_EQ(r.error, errInetCannotConnect);
    EXPECT_EQ(QtHttpClient().get("ftp://example.org/x").error, errInetBadAddress);
}

TEST(Http, HonoursHttpProxy)
{
    TestServer proxy;
    const QByteArray old = qgetenv("http_proxy");
    qputenv("http_proxy", QStringLiteral("http://127.0.0.1:%1").arg(proxy.server.serverPort()).toLatin1());
    const HttpResult r = QtHttpClient().get("http://updates.quillmarsh.invalid/files/version.aui");
    if (old.isNull())
        qunsetenv("http_proxy");
    else
        qputenv("http_proxy", old);
    EXPECT_EQ(r.error, 0);
    ASSERT_EQ(proxy.requestLines.size(), 1);
    EXPECT_EQ(proxy.requestLines[0], QStringLiteral("GET http://updates.quillmarsh.invalid/files/version.aui HTTP/1.1"));
}

TEST(Http, FakeAnswersInTurn)
{
    FakeHttpClient fake;
    HttpResult page;
    page.text = "doc";
    fake.answers.push_back(page);
    setHttp(&fake);
    EXPECT_EQ(http().get("http://a/").text, QStringLiteral("doc"));
    EXPECT_EQ(http().get("http://b/").error, errInetCannotConnect);
    EXPECT_EQ(fake.requested, (QStringList{"http://a/", "http://b/"}));
    setHttp(nullptr);
}
