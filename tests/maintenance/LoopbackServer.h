#pragma once
// A small HTTP server on 127.0.0.1 (a free port) for the update check's
// tests. It runs on its own thread and answers each connection with the
// next canned answer: raw bytes after an optional delay, or a connection
// closed without a word. It never listens anywhere but the loopback.

#include <QByteArray>
#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class LoopbackServer {
public:
    struct Answer {
        QByteArray bytes;   // empty: close at once
        int delayMs = 0;
    };

    static Answer ok(const QByteArray& body, int status = 200)
    {
        return {"HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: text/plain; charset=utf-8\r\n"
                "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body};
    }

    LoopbackServer()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), len);
        ::listen(fd_, 8);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { run(); });
    }
    ~LoopbackServer()
    {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }

    void answer(Answer a)
    {
        std::lock_guard lock(m_);
        answers_.push_back(std::move(a));
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }
    int requestCount() const { return requests_; }
    QByteArray lastRequestLine()
    {
        std::lock_guard lock(m_);
        return lastLine_;
    }

private:
    void run()
    {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (c < 0)
                continue;
            serve(c);
            ::close(c);
        }
    }
    void serve(int c)
    {
        QByteArray request;
        char buf[4096];
        while (!request.contains("\r\n\r\n")) {
            pollfd p{c, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0)
                return;
            const ssize_t n = ::recv(c, buf, sizeof buf, 0);
            if (n <= 0)
                return;
            request.append(buf, n);
        }
        Answer a;
        {
            std::lock_guard lock(m_);
            lastLine_ = request.left(request.indexOf("\r\n"));
            if (!answers_.empty()) {
                a = answers_.front();
                answers_.pop_front();
            }
        }
        ++requests_;
        for (int waited = 0; waited < a.delayMs && !stop_; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (qsizetype sent = 0; sent < a.bytes.size();) {
            const ssize_t n = ::send(c, a.bytes.constData() + sent, size_t(a.bytes.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += n;
        }
    }

    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::mutex m_;
    std::deque<Answer> answers_;
    QByteArray lastLine_;
    std::thread thread_;
};
