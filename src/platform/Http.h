#pragma once
// Fetching one whole document over HTTP, as text. The call runs its own
// event loop, so windows keep painting and the caller's cancel test is asked
// at every turn of it.

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

struct HttpOptions {
    int timeoutMs = 60000;            // for the whole transfer, moves included
    qint64 maxBytes = 1024 * 1024;    // documents larger than this are refused
    // Only a body whose end the server announces (a length, or chunks) is
    // taken. A reset reaches this client as an ordinary close, so a body
    // that runs to the close may have been cut anywhere.
    bool framedBodyOnly = false;
};

struct HttpResult {
    int error = 0;         // 0, or an error number (unable to connect, timed out, cut short, ...)
    int status = 0;        // the server's status code (0 when none arrived)
    bool cancelled = false;
    QString text;          // the body, also for error pages such as 404; "" on any error
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // `cancelled` (optional) is asked while waiting; true ends the transfer
    // with an empty text and no error.
    virtual HttpResult get(const QString& url, const HttpOptions& options = {},
                           const std::function<bool()>& cancelled = {}) = 0;
};

// HTTP/1.1 over a socket of Qt's, with the proxy of http_proxy / no_proxy
// as the system sets it (https tunnels through a web proxy with CONNECT);
// moved documents are followed (never from https to http). The response is
// read in the caller's thread as it arrives: its head (and the proxy's
// answer to CONNECT) is bounded, its body must end exactly where the server
// said it would (a length, the last chunk, or the close), and the deadline
// ends it all. Of the transfer codings only chunked is read; any other is a
// failure, as the body could not be told from what it encodes.
class QtHttpClient : public HttpClient {
public:
    HttpResult get(const QString& url, const HttpOptions& options = {},
                   const std::function<bool()>& cancelled = {}) override;
};

HttpClient& http();
void setHttp(HttpClient* client);   // nullptr: back to QtHttpClient

} // namespace platform
