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
                const int status = parts.size() >= 2 && parts[0].startsWith("HTTP/1.") ? parts[1].toInt(&ok) : 0;
                // A code out of range is no status: the caller is told none came.
                if (!ok || status < 100 || status > 999)
                    return fail();
                m_status = status;
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

// Where a request goes. A plain request through a web proxy goes to the
// proxy whole; a secure one tunnels through it, the tunnel asked for here so
// that the proxy's answer is read under the same bound as any other head.
// Any other kind of proxy is left to the socket.
struct Route {
    bool secure = false;
    QNetworkProxy proxy = QNetworkProxy::NoProxy;
    bool viaWebProxy = false;
    bool tunnel = false;
    QString host;   // what the socket connects to: the server or the web proxy
    quint16 port = 0;
};

Route routeTo(const QUrl& url)
{
    Route route;
    route.secure = url.scheme() == QLatin1String("https");
    const QList<QNetworkProxy> proxies = QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url));
    if (!proxies.isEmpty() && proxies.first().type() != QNetworkProxy::DefaultProxy)
        route.proxy = proxies.first();
    route.viaWebProxy = !route.secure && route.proxy.type() == QNetworkProxy::HttpProxy;
    route.tunnel = route.secure && route.proxy.type() == QNetworkProxy::HttpProxy;
    const bool toProxy = route.viaWebProxy || route.tunnel;
    route.host = toProxy ? route.proxy.hostName() : url.host();
    route.port = toProxy ? route.proxy.port() : quint16(url.port(route.secure ? 443 : 80));
    return route;
}

// The socket for the route; null when a secure one cannot be had.
std::unique_ptr<QTcpSocket> openSocket(const Route& route)
{
    std::unique_ptr<QTcpSocket> socket;
#if QT_CONFIG(ssl)
    if (route.secure)
        socket = std::make_unique<QSslSocket>();
#endif
    if (!socket) {
        if (route.secure)
            return nullptr;
        socket = std::make_unique<QTcpSocket>();
    }
    // Read no further ahead than one piece at a time: what arrives is judged
    // as it comes, and a flood stays in the kernel's buffers.
    socket->setReadBufferSize(kReadChunk);
    socket->setProxy(route.viaWebProxy || route.tunnel ? QNetworkProxy(QNetworkProxy::NoProxy) : route.proxy);
    return socket;
}

QByteArray getRequest(const QUrl& url, const Route& route)
{
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    if (route.viaWebProxy)
        target = url.toEncoded(QUrl::RemoveUserInfo | QUrl::RemoveFragment);
    QByteArray request = "GET " + target + " HTTP/1.1\r\nHost: " + hostHeader(url)
        + "\r\nAccept-Encoding: identity\r\nConnection: close\r\nUser-Agent: Quillmarsh\r\n";
    if (route.viaWebProxy)
        request += proxyAuthorization(route.proxy);
    return request + "\r\n";
}

QByteArray connectRequest(const QUrl& url, const Route& route)
{
    const QByteArray authority = hostHeader(url, 443);
    return "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\nUser-Agent: Quillmarsh\r\n"
        + proxyAuthorization(route.proxy) + "\r\n";
}

// One request and its response on a connection of its own (through the
// tunnel first, when the route has one), ended by the deadline, by the
// caller's cancel test, by an error of the socket or by the response being
// read in full.
class Exchange {
public:
    Exchange(QTcpSocket& socket, const QUrl& url, const Route& route, ResponseReader& reader)
        : m_socket(socket), m_url(url), m_route(route), m_reader(reader)
    {
        if (route.tunnel)
            m_tunnelAnswer.emplace(0, ResponseReader::TunnelAnswer);
    }

    void run(const QByteArray& request, const QDeadlineTimer& deadline, const std::function<bool()>& cancelled)
    {
        QObject::connect(&m_socket, &QIODevice::readyRead, &m_loop, [this] { readAvailable(); });
        QObject::connect(&m_socket, &QAbstractSocket::disconnected, &m_loop, [this] {
            readAvailable();
            m_reader.closed();
            finish();
        });
        QObject::connect(&m_socket, &QAbstractSocket::errorOccurred, &m_loop, [this](QAbstractSocket::SocketError e) {
            if (e == QAbstractSocket::RemoteHostClosedError)
                return;   // the disconnect judges what arrived
            if (socketError == 0)
                socketError = m_reader.status() == 0 ? connectError(e) : errInetRequestFailed;
            finish();
        });
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &m_loop, [this] {
            timedOut = true;
            finish();
        });
        timer.start(int(std::max<qint64>(0, deadline.remainingTime())));
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &m_loop, [this, &cancelled] {
            if (cancelled && cancelled()) {
                userCancelled = true;
                finish();
            }
        });
        if (cancelled)
            poll.start(20);

        connectAndSend(request);
        if (!m_over)
            m_loop.exec();
        poll.stop();
        timer.stop();
        m_socket.disconnect(&m_loop);
        m_socket.abort();
    }

    // What ended the exchange, when the response was not read in full.
    bool timedOut = false;
    bool userCancelled = false;
    int tunnelError = 0;
    int socketError = 0;

private:
    // Something may end the exchange before the loop runs (an error the
    // socket reports at once); the loop then never starts.
    void finish()
    {
        m_over = true;
        m_loop.quit();
    }

    void connectAndSend(const QByteArray& request)
    {
#if QT_CONFIG(ssl)
        if (m_route.secure) {
            auto* ssl = static_cast<QSslSocket*>(&m_socket);
            QObject::connect(ssl, &QSslSocket::encrypted, &m_loop, [this, request] { m_socket.write(request); });
            if (m_route.tunnel) {
                const QByteArray askTunnel = connectRequest(m_url, m_route);
                QObject::connect(ssl, &QAbstractSocket::connected, &m_loop, [this, askTunnel] { m_socket.write(askTunnel); });
                ssl->connectToHost(m_route.host, m_route.port);
            } else {
                ssl->connectToHostEncrypted(m_route.host, m_route.port);
            }
        }
#endif
        if (!m_route.secure) {
            QObject::connect(&m_socket, &QAbstractSocket::connected, &m_loop, [this, request] { m_socket.write(request); });
            m_socket.connectToHost(m_route.host, m_route.port);
        }
    }

    void readAvailable()
    {
        if (m_tunnelAnswer) {
            readTunnelAnswer();
            return;
        }
        while (!m_reader.finished() && m_socket.bytesAvailable() > 0)
            m_reader.feed(m_socket.read(kReadChunk));
        if (m_reader.finished())
            finish();
    }

    // The proxy's answer to CONNECT, while it is awaited.
    void readTunnelAnswer()
    {
        while (!m_tunnelAnswer->finished() && m_socket.bytesAvailable() > 0)
            m_tunnelAnswer->feed(m_socket.read(kReadChunk));
        if (!m_tunnelAnswer->finished())
            return;
        // The tunnel is open once the proxy says so, and says nothing more:
        // the server speaks only after the client's greeting.
        const bool answered = m_tunnelAnswer->state() == ResponseReader::Done;
        const bool open = answered && m_tunnelAnswer->status() / 100 == 2 && !m_tunnelAnswer->hasExtra()
            && m_socket.bytesAvailable() == 0;
        if (!open) {
            tunnelError = answered && m_tunnelAnswer->status() / 100 != 2 ? errInetCannotConnect : errInetRequestFailed;
            finish();
            return;
        }
        m_tunnelAnswer.reset();
#if QT_CONFIG(ssl)
        auto* ssl = static_cast<QSslSocket*>(&m_socket);
        ssl->setPeerVerifyName(m_url.host());
        ssl->startClientEncryption();
#endif
    }

    QTcpSocket& m_socket;
    const QUrl& m_url;
    const Route& m_route;
    ResponseReader& m_reader;
    std::optional<ResponseReader> m_tunnelAnswer;
    QEventLoop m_loop;
    bool m_over = false;
};

// What the exchange leaves: the document (and where it moved, when it did),
// or what ended it short.
Fetch outcome(const QUrl& url, const ResponseReader& reader, const Exchange& exchange)
{
    Fetch out;
    HttpResult& result = out.result;
    result.status = reader.status();
    if (exchange.userCancelled) {
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
    if (exchange.timedOut)
        result.error = errInetTimeout;
    else if (exchange.tunnelError != 0)
        result.error = exchange.tunnelError;
    else if (exchange.socketError != 0)
        result.error = exchange.socketError;
    else
        result.error = errInetRequestFailed;
    return out;
}

// One request on a connection of its own, ended by the deadline, by the
// caller's cancel test, or by the response being read in full.
Fetch fetchOnce(const QUrl& url, const HttpOptions& options, const QDeadlineTimer& deadline,
                const std::function<bool()>& cancelled)
{
    const Route route = routeTo(url);
    const std::unique_ptr<QTcpSocket> socket = openSocket(route);
    if (!socket) {
        Fetch out;
        out.result.error = errInetCannotConnect;
        return out;
    }
    ResponseReader reader(options.maxBytes,
                          options.framedBodyOnly ? ResponseReader::FramedDocument : ResponseReader::Document);
    Exchange exchange(*socket, url, route, reader);
    exchange.run(getRequest(url, route), deadline, cancelled);
    return outcome(url, reader, exchange);
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
