#include "platform/Http.h"

#include "platform/AppError.h"
#include "platform/TextDecoding.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QHash>
#include <QNetworkProxyFactory>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#if QT_CONFIG(ssl)
#include <QSslSocket>
#endif

#include <algorithm>
#include <memory>
#include <optional>

namespace platform {

namespace {

// Whatever a server sends, no more than this is held before the body: a
// server that sends header lines without end is cut off, not buffered.
constexpr qsizetype kMaxHeadBytes = 64 * 1024;
constexpr qint64 kReadChunk = 64 * 1024;
constexpr int kMaxRedirects = 5;

// One response read off the connection as it arrives. The framing the
// server announces (a length, chunks, or the end of the connection) must be
// met exactly; a body that ends short of it is a failed transfer, never a
// document.
class ResponseReader {
public:
    enum State { Head, Body, ChunkSize, ChunkData, ChunkEnd, Trailer, UntilClose, Done, Failed, TooLarge };

    // What is read: a document; a document whose end the server must
    // announce (a length, or chunks), the close alone ending none; or a
    // proxy's answer to CONNECT, which ends with its head.
    enum Kind { Document, FramedDocument, TunnelAnswer };

    ResponseReader(qint64 maxBytes, Kind kind) : m_maxBytes(maxBytes), m_kind(kind) {}

    void feed(const QByteArray& bytes)
    {
        m_pending += bytes;
        while (step()) {
        }
    }
    // The connection closed: only a body that runs to the close is whole then.
    void closed()
    {
        if (m_state == UntilClose)
            m_state = Done;
        else if (m_state != Done && m_state != TooLarge)
            m_state = Failed;
    }

    State state() const { return m_state; }
    bool finished() const { return m_state == Done || m_state == Failed || m_state == TooLarge; }
    int status() const { return m_status; }
    QByteArray header(const QByteArray& name) const { return m_headers.value(name.toLower()); }
    const QByteArray& body() const { return m_body; }
    // Bytes that came after the end of what was read.
    bool hasExtra() const { return !m_pending.isEmpty(); }

private:
    // One line off the pending bytes (without its CR LF), or nothing yet.
    // A line longer than the head may be is a failure.
    std::optional<QByteArray> takeLine()
    {
        const qsizetype lf = m_pending.indexOf('\n');
        if (lf < 0) {
            if (m_pending.size() > kMaxHeadBytes)
                m_state = Failed;
            return std::nullopt;
        }
        QByteArray line = m_pending.left(lf);
        m_pending.remove(0, lf + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        return line;
    }

    // A line of the head or of the trailer, which share one size bound.
    std::optional<QByteArray> takeHeadLine()
    {
        std::optional<QByteArray> line = takeLine();
        if (line) {
            m_headBytes += line->size() + 2;
            if (m_headBytes > kMaxHeadBytes) {
                m_state = Failed;
                return std::nullopt;
            }
        }
        return line;
    }

    bool addBody(const QByteArray& bytes)
    {
        m_body += bytes;
        if (m_body.size() > m_maxBytes) {
            m_state = TooLarge;
            return false;
        }
        return true;
    }

    bool fail()
    {
        m_state = Failed;
        return false;
    }

    // Consumes what it can; false when it needs more bytes or is finished.
    bool step()
    {
        switch (m_state) {
        case Head: {
            const std::optional<QByteArray> line = takeHeadLine();
            if (!line)
                return false;
            if (m_status == 0) {
                // "HTTP/1.1 200 Reason"
                const QList<QByteArray> parts = line->split(' ');
                bool ok = false;
                m_status = parts.size() >= 2 && parts[0].startsWith("HTTP/1.") ? parts[1].toInt(&ok) : 0;
                if (!ok || m_status < 100 || m_status > 999)
                    return fail();
                return true;
            }
            if (!line->isEmpty()) {
                const qsizetype colon = line->indexOf(':');
                if (colon <= 0)
                    return fail();
                const QByteArray name = line->left(colon).trimmed().toLower();
                const QByteArray value = line->mid(colon + 1).trimmed();
                if (m_headers.contains(name) && name == "content-length" && m_headers.value(name) != value)
                    return fail();   // two lengths: no telling where the body ends
                m_headers.insert(name, m_headers.contains(name) && name != "content-length"
                                           ? m_headers.value(name) + ", " + value
                                           : value);
                return true;
            }
            // The blank line that ends the head. An interim answer (100
            // Continue) is followed by the real one.
            if (m_status < 200) {
                m_status = 0;
                m_headers.clear();
                return true;
            }
            return startBody();
        }
        case Body: {
            const QByteArray part = m_pending.left(qsizetype(std::min<qint64>(m_remaining, m_pending.size())));
            m_pending.remove(0, part.size());
            m_remaining -= part.size();
            if (addBody(part) && m_remaining == 0)
                m_state = Done;
            return false;
        }
        case ChunkSize: {
            const std::optional<QByteArray> line = takeLine();
            if (!line)
                return false;
            // Hexadecimal digits, then blanks and an extension at most: no
            // sign, no "0x", nothing before the digits.
            const qsizetype extension = line->indexOf(';');
            QByteArray size = extension < 0 ? *line : line->left(extension);
            while (size.endsWith(' ') || size.endsWith('\t'))
                size.chop(1);
            const bool digits = !size.isEmpty() && std::all_of(size.begin(), size.end(), [](char c) {
                return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
            });
            bool ok = false;
            m_remaining = digits ? size.toLongLong(&ok, 16) : -1;
            if (!ok || m_remaining < 0)
                return fail();
            if (m_remaining > m_maxBytes - m_body.size()) {
                m_state = TooLarge;
                return false;
            }
            m_state = m_remaining == 0 ? Trailer : ChunkData;
            return true;
        }
        case ChunkData: {
            const QByteArray part = m_pending.left(qsizetype(std::min<qint64>(m_remaining, m_pending.size())));
            m_pending.remove(0, part.size());
            m_remaining -= part.size();
            if (!addBody(part))
                return false;
            if (m_remaining > 0)
                return false;
            m_state = ChunkEnd;
            return true;
        }
        case ChunkEnd: {
            const std::optional<QByteArray> line = takeLine();
            if (!line)
                return false;
            if (!line->isEmpty())
                return fail();
            m_state = ChunkSize;
            return true;
        }
        case Trailer: {
            const std::optional<QByteArray> line = takeHeadLine();
            if (!line)
                return false;
            if (line->isEmpty())
                m_state = Done;
            return !line->isEmpty();
        }
        case UntilClose: {
            const QByteArray part = m_pending;
            m_pending.clear();
            addBody(part);
            return false;
        }
        case Done:
        case Failed:
        case TooLarge:
            return false;
        }
        return false;
    }

    bool startBody()
    {
        if (m_kind == TunnelAnswer || m_status == 204 || m_status == 304) {
            m_state = Done;
            return false;
        }
        // A transfer coding overrides any length. Chunked, alone, is the
        // one this client reads: with another (gzip, say) the bytes on the
        // wire are not the document, and its end may be nowhere near the
        // length the same head gives.
        if (m_headers.contains("transfer-encoding")) {
            if (header("transfer-encoding").compare("chunked", Qt::CaseInsensitive) != 0)
                return fail();
            m_state = ChunkSize;
            return true;
        }
        if (m_headers.contains("content-length")) {
            const QByteArray length = header("content-length");
            const bool digits = !length.isEmpty()
                && std::all_of(length.begin(), length.end(), [](char c) { return c >= '0' && c <= '9'; });
            bool ok = false;
            m_remaining = length.toLongLong(&ok);
            if (!digits || !ok)
                return fail();
            if (m_remaining > m_maxBytes) {
                m_state = TooLarge;
                return false;
            }
            m_state = m_remaining == 0 ? Done : Body;
            return m_state == Body;
        }
        if (m_kind == FramedDocument)
            return fail();
        m_state = UntilClose;
        return true;
    }

    qint64 m_maxBytes;
    Kind m_kind;
    State m_state = Head;
    QByteArray m_pending;
    qsizetype m_headBytes = 0;
    int m_status = 0;
    QHash<QByteArray, QByteArray> m_headers;
    qint64 m_remaining = 0;
    QByteArray m_body;
};

int connectError(QAbstractSocket::SocketError e)
{
    switch (e) {
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::HostNotFoundError:
    case QAbstractSocket::ProxyConnectionRefusedError:
    case QAbstractSocket::ProxyNotFoundError:
    case QAbstractSocket::NetworkError:
        return errInetCannotConnect;
    case QAbstractSocket::SocketTimeoutError:
    case QAbstractSocket::ProxyConnectionTimeoutError:
        return errInetTimeout;
    default:
        return errInetRequestFailed;
    }
}

bool isWebScheme(const QUrl& url)
{
    return url.isValid() && !url.host().isEmpty()
        && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

// The host as a request names it, with the port when one is given (or
// `defaultPort` is not -1).
QByteArray hostHeader(const QUrl& url, int defaultPort = -1)
{
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url.port(defaultPort) != -1)
        host += ':' + QByteArray::number(url.port(defaultPort));
    return host;
}

QByteArray proxyAuthorization(const QNetworkProxy& proxy)
{
    if (proxy.user().isEmpty())
        return {};
    return "Proxy-Authorization: Basic " + (proxy.user() + u':' + proxy.password()).toUtf8().toBase64() + "\r\n";
}

struct Fetch {
    HttpResult result;
    QUrl location;   // where a redirect points, when it does
};

// One request on a connection of its own, ended by the deadline, by the
// caller's cancel test, or by the response being read in full.
Fetch fetchOnce(const QUrl& url, const HttpOptions& options, const QDeadlineTimer& deadline,
                const std::function<bool()>& cancelled)
{
    Fetch out;
    HttpResult& result = out.result;
    const bool secure = url.scheme() == QLatin1String("https");
    QNetworkProxy proxy = QNetworkProxy::NoProxy;
    const QList<QNetworkProxy> proxies = QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url));
    if (!proxies.isEmpty() && proxies.first().type() != QNetworkProxy::DefaultProxy)
        proxy = proxies.first();
    // A plain request through a web proxy goes to the proxy whole; a secure
    // one tunnels through it, the tunnel asked for here so that the proxy's
    // answer is read under the same bound as any other head. Any other kind
    // of proxy is left to the socket.
    const bool viaWebProxy = !secure && proxy.type() == QNetworkProxy::HttpProxy;
    const bool tunnel = secure && proxy.type() == QNetworkProxy::HttpProxy;

    std::unique_ptr<QTcpSocket> socket;
#if QT_CONFIG(ssl)
    if (secure)
        socket = std::make_unique<QSslSocket>();
#endif
    if (!socket) {
        if (secure) {
            result.error = errInetCannotConnect;
            return out;
        }
        socket = std::make_unique<QTcpSocket>();
    }
    // Read no further ahead than one piece at a time: what arrives is judged
    // as it comes, and a flood stays in the kernel's buffers.
    socket->setReadBufferSize(kReadChunk);
    socket->setProxy(viaWebProxy || tunnel ? QNetworkProxy(QNetworkProxy::NoProxy) : proxy);

    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    if (viaWebProxy)
        target = url.toEncoded(QUrl::RemoveUserInfo | QUrl::RemoveFragment);
    QByteArray request = "GET " + target + " HTTP/1.1\r\nHost: " + hostHeader(url)
        + "\r\nAccept-Encoding: identity\r\nConnection: close\r\nUser-Agent: Quillmarsh\r\n";
    if (viaWebProxy)
        request += proxyAuthorization(proxy);
    request += "\r\n";

    ResponseReader reader(options.maxBytes,
                          options.framedBodyOnly ? ResponseReader::FramedDocument : ResponseReader::Document);
    // The proxy's answer to CONNECT, while it is awaited.
    std::optional<ResponseReader> tunnelAnswer;
    if (tunnel)
        tunnelAnswer.emplace(0, ResponseReader::TunnelAnswer);
    int tunnelError = 0;
    bool timedOut = false;
    bool userCancelled = false;
    int socketError = 0;
    QEventLoop loop;
    // Something may end the exchange before the loop runs (an error the
    // socket reports at once); the loop then never starts.
    bool over = false;
    const auto finish = [&] {
        over = true;
        loop.quit();
    };
    const auto readAvailable = [&] {
        if (tunnelAnswer) {
            while (!tunnelAnswer->finished() && socket->bytesAvailable() > 0)
                tunnelAnswer->feed(socket->read(kReadChunk));
            if (!tunnelAnswer->finished())
                return;
            // The tunnel is open once the proxy says so, and says nothing
            // more: the server speaks only after the client's greeting.
            const bool open = tunnelAnswer->state() == ResponseReader::Done && tunnelAnswer->status() / 100 == 2
                && !tunnelAnswer->hasExtra() && socket->bytesAvailable() == 0;
            if (!open) {
                tunnelError = tunnelAnswer->state() == ResponseReader::Done && tunnelAnswer->status() / 100 != 2
                    ? errInetCannotConnect
                    : errInetRequestFailed;
                finish();
                return;
            }
            tunnelAnswer.reset();
#if QT_CONFIG(ssl)
            auto* ssl = static_cast<QSslSocket*>(socket.get());
            ssl->setPeerVerifyName(url.host());
            ssl->startClientEncryption();
#endif
            return;
        }
        while (!reader.finished() && socket->bytesAvailable() > 0)
            reader.feed(socket->read(kReadChunk));
        if (reader.finished())
            finish();
    };
    const auto sendRequest = [&] { socket->write(request); };
    QObject::connect(socket.get(), &QIODevice::readyRead, &loop, readAvailable);
    QObject::connect(socket.get(), &QAbstractSocket::disconnected, &loop, [&] {
        readAvailable();
        reader.closed();
        finish();
    });
    QObject::connect(socket.get(), &QAbstractSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::RemoteHostClosedError)
            return;   // the disconnect judges what arrived
        if (socketError == 0)
            socketError = reader.status() == 0 ? connectError(e) : errInetRequestFailed;
        finish();
    });
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        finish();
    });
    timer.start(int(std::max<qint64>(0, deadline.remainingTime())));
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (cancelled && cancelled()) {
            userCancelled = true;
            finish();
        }
    });
    if (cancelled)
        poll.start(20);

    const bool toProxy = viaWebProxy || tunnel;
    const QString host = toProxy ? proxy.hostName() : url.host();
    const quint16 port = toProxy ? proxy.port() : quint16(url.port(secure ? 443 : 80));
#if QT_CONFIG(ssl)
    if (secure) {
        auto* ssl = static_cast<QSslSocket*>(socket.get());
        QObject::connect(ssl, &QSslSocket::encrypted, &loop, sendRequest);
        if (tunnel) {
            const QByteArray authority = hostHeader(url, 443);
            const QByteArray connectRequest = "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority
                + "\r\nUser-Agent: Quillmarsh\r\n" + proxyAuthorization(proxy) + "\r\n";
            QObject::connect(ssl, &QAbstractSocket::connected, &loop, [&, connectRequest] { socket->write(connectRequest); });
            ssl->connectToHost(host, port);
        } else {
            ssl->connectToHostEncrypted(host, port);
        }
    }
#endif
    if (!secure) {
        QObject::connect(socket.get(), &QAbstractSocket::connected, &loop, sendRequest);
        socket->connectToHost(host, port);
    }
    if (!over)
        loop.exec();
    poll.stop();
    timer.stop();
    socket->disconnect(&loop);
    socket->abort();

    result.status = reader.status();
    if (userCancelled) {
        result = HttpResult{};
        result.cancelled = true;
        return out;
    }
    if (reader.state() == ResponseReader::TooLarge) {
        result.error = errInetTooLarge;
        return out;
    }
    if (reader.state() == ResponseReader::Done) {
        const QByteArray location = reader.header("location");
        if (result.status >= 300 && result.status < 400 && !location.isEmpty())
            out.location = url.resolved(QUrl::fromEncoded(location));
        result.text = decodeText(reader.body());
        return out;
    }
    // Cut short in any way: whatever status came first, there is no document.
    if (timedOut)
        result.error = errInetTimeout;
    else if (tunnelError != 0)
        result.error = tunnelError;
    else if (socketError != 0)
        result.error = socketError;
    else
        result.error = errInetRequestFailed;
    return out;
}

} // namespace

HttpResult QtHttpClient::get(const QString& url, const HttpOptions& options, const std::function<bool()>& cancelled)
{
    QUrl address(url);
    if (!isWebScheme(address)) {
        HttpResult result;
        result.error = errInetBadAddress;
        return result;
    }
    const QDeadlineTimer deadline(options.timeoutMs, Qt::PreciseTimer);
    for (int hop = 0;; ++hop) {
        const Fetch f = fetchOnce(address, options, deadline, cancelled);
        // A moved document is followed, but never from a secure address to
        // a plain one.
        const bool follow = f.result.error == 0 && !f.result.cancelled && f.location.isValid() && hop < kMaxRedirects
            && isWebScheme(f.location)
            && !(address.scheme() == QLatin1String("https") && f.location.scheme() == QLatin1String("http"));
        if (!follow)
            return f.result;
        address = f.location;
    }
}

namespace {
HttpClient* s_http = nullptr;
} // namespace

HttpClient& http()
{
    static QtHttpClient real;
    return s_http ? *s_http : real;
}

void setHttp(HttpClient* client) { s_http = client; }

} // namespace platform
