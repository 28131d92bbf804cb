#include "support/LoopbackServer.h"

#include "platform/AppError.h"
#include "platform/Http.h"

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

TEST_F(Http, DocumentsErrorPagesAndGreekAnsiPagesAreText)
{
    server.answer(LoopbackServer::ok("QMVERSIONINFO|2002.0009.0001|\xce\x9d\xce\xad\xce\xb1|New\r\n", 200, {}));
    server.answer(LoopbackServer::ok("<html>Not here</html>", 404, {}));
    server.answer(LoopbackServer::ok("\xc5\xeb\xeb\xe7\xed\xe9\xea\xdc", 200, {}));   // "Ελληνικά" in Windows-1253
    QtHttpClient client;
    const HttpResult r = client.get(url());
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.text, QString::fromUtf8("QMVERSIONINFO|2002.0009.0001|Νέα|New\r\n"));   // line ends kept
    EXPECT_EQ(server.lastRequestLine, "GET /q/version.aui HTTP/1.1");
    const HttpResult missing = client.get(url());
    EXPECT_EQ(missing.error, 0);
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(missing.text, QStringLiteral("<html>Not here</html>"));
    EXPECT_EQ(client.get(url()).text, QString::fromUtf8("Ελληνικά"));
}

TEST_F(Http, TimeOutOversizeRefusedAndCancel)
{
    QtHttpClient client;
    HttpOptions quick;
    quick.timeoutMs = 300;
    server.answer({LoopbackServer::ok("late").bytes, 60000});   // a stall
    server.answer(LoopbackServer::ok(QByteArray(3 * 1024 * 1024, 'x')));
    server.answer({LoopbackServer::ok("late").bytes, 60000});
    const HttpResult stalled = client.get(url(), quick);
    EXPECT_EQ(stalled.error, errInetTimeout);
    EXPECT_TRUE(stalled.text.isEmpty());

    HttpOptions small;
    small.maxBytes = 1024 * 1024;
    const HttpResult big = client.get(url(), small);
    EXPECT_EQ(big.error, errInetTooLarge);
    EXPECT_TRUE(big.text.isEmpty());

    int asked = 0;
    const HttpResult cancelled = client.get(url(), {}, [&] { return ++asked > 3; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.error, 0);
    EXPECT_TRUE(cancelled.text.isEmpty());
}

TEST_F(Http, RefusedConnectionIsAnError)
{
    testing_support::ensureCoreApplication();
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    const HttpResult r = QtHttpClient().get(QStringLiteral("http://127.0.0.1:%1/x").arg(port));
    EXPECT_EQ(r.error, errInetCannotConnect);
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
