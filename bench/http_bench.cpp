// The HTTP client against hostile servers on 127.0.0.1, each writing as fast
// as the loopback takes it from a thread of its own: when the call returns
// against its deadline, and how far the process's peak memory grew. The
// last is a web proxy that answers an https request's CONNECT with header
// lines without end.
//
//   http_bench [DEADLINE_MS]     default 2000

#include "platform/Http.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// Peak resident memory so far, in KB (the kernel's count lags by a few
// pages).
long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Serves one connection: `head` once, then `repeat` until the client goes.
struct Flood {
    Flood(QByteArray head, QByteArray repeat, int pauseUs)
    {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        ::bind(listener, reinterpret_cast<sockaddr*>(&a), len);
        ::listen(listener, 1);
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
        worker = std::thread([this, head, repeat, pauseUs] {
            const int c = ::accept(listener, nullptr, nullptr);
            char request[4096];
            [[maybe_unused]] const ssize_t got = ::recv(c, request, sizeof request, 0);
            ssize_t n = ::send(c, head.constData(), size_t(head.size()), MSG_NOSIGNAL);
            while (n >= 0 && !repeat.isEmpty()) {
                n = ::send(c, repeat.constData(), size_t(repeat.size()), MSG_NOSIGNAL);
                sent += n > 0 ? n : 0;
                if (pauseUs)
                    ::usleep(useconds_t(pauseUs));
            }
            ::close(c);
        });
    }
    ~Flood()
    {
        worker.join();
        ::close(listener);
    }
    int listener = -1;
    quint16 port = 0;
    std::atomic<qint64> sent = 0;
    std::thread worker;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    platform::HttpOptions options;
    options.timeoutMs = argc > 1 ? std::atoi(argv[1]) : 2000;
    struct Case { const char* what; QByteArray head, repeat; int pauseUs; } cases[] = {
        {"header lines without end", "HTTP/1.1 200 OK\r\n", QByteArray(60, 'a').prepend("X-Flood: ").append("\r\n"), 0},
        {"one header line without end", "HTTP/1.1 200 OK\r\nX-Flood: ", QByteArray(64 * 1024, 'a'), 0},
        {"header trickle", "HTTP/1.1 200 OK\r\n", "X: y\r\n", 20000},
        {"body without end", "HTTP/1.1 200 OK\r\n\r\n", QByteArray(64 * 1024, 'a'), 0},
        {"chunks without end", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", "4\r\naaaa\r\n", 0},
    };
    // The first request sets up what every later one shares: not counted.
    {
        Flood warmUp("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", {}, 0);
        platform::QtHttpClient().get(QStringLiteral("http://127.0.0.1:%1/v").arg(warmUp.port), options);
    }
    std::printf("deadline %d ms, document bound %lld bytes\n", options.timeoutMs, options.maxBytes);
    std::printf("%-28s %8s %10s %12s %12s\n", "server", "error", "ms", "sent KB", "peak +KB");
    const auto run = [&](const char* what, Flood& flood, const QString& url) {
        const long before = peakKb();
        QElapsedTimer clock;
        clock.start();
        const platform::HttpResult r = platform::QtHttpClient().get(url, options);
        const qint64 ms = clock.elapsed();
        const qint64 sent = flood.sent;
        std::printf("%-28s %8d %10lld %12lld %12ld\n", what, r.error, ms, sent / 1024, std::max(0L, peakKb() - before));
    };
    for (const Case& c : cases) {
        Flood flood(c.head, c.repeat, c.pauseUs);
        run(c.what, flood, QStringLiteral("http://127.0.0.1:%1/v").arg(flood.port));
    }
    {
        Flood proxy("HTTP/1.1 200 OK\r\n", QByteArray(60, 'a').prepend("X-Flood: ").append("\r\n"), 0);
        const QByteArray address = "http://127.0.0.1:" + QByteArray::number(proxy.port);
        qputenv("https_proxy", address);
        qputenv("http_proxy", address);
        qunsetenv("no_proxy");
        run("CONNECT answer without end", proxy, QStringLiteral("https://127.0.0.1:1/v"));
    }
    return 0;
}
