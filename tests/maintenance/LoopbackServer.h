#pragma once
// An HTTP server on 127.0.0.1 (a free port), on its own thread: each
// connection gets the next canned answer, raw bytes after an optional delay
// (no bytes: the connection is closed without a word).
#include <QByteArray>
#include <QString>

#include <arpa/inet.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <thread>

class LoopbackServer {
public:
    struct Answer {
        QByteArray bytes;
        int delayMs = 0;
    };
    static Answer ok(const QByteArray& body, int status = 200)
    {
        return {"HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: text/plain; charset=utf-8\r\n"
                "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body};
    }
    LoopbackServer()
    {
        sockaddr_in a{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t len = sizeof a;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), len);
        ::listen(fd_, 8);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        base = QStringLiteral("http://127.0.0.1:%1").arg(ntohs(a.sin_port));
        thread_ = std::thread([this] {
            while (!stop_)
                if (pollfd p{fd_, POLLIN, 0}; ::poll(&p, 1, 20) > 0)
                    if (const int c = ::accept(fd_, nullptr, nullptr); c >= 0) {
                        serve(c);
                        ::close(c);
                    }
        });
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
    QByteArray lastRequestLine()
    {
        std::lock_guard lock(m_);
        return lastLine_;
    }

    QString base;
    std::atomic<int> requests{0};

private:
    void serve(int c)
    {
        QByteArray request(8192, '\0');
        const ssize_t n = ::recv(c, request.data(), request.size(), 0);   // one small GET
        Answer a;
        {
            std::lock_guard lock(m_);
            lastLine_ = request.left(n > 0 ? request.indexOf("\r\n") : 0);
            if (!answers_.empty())
                a = answers_.front(), answers_.pop_front();
        }
        ++requests;
        for (int waited = 0; waited < a.delayMs && !stop_; waited += 10)
            ::usleep(10000);
        for (qsizetype sent = 0, k = 0; sent < a.bytes.size() && k >= 0; sent += k)
            k = ::send(c, a.bytes.constData() + sent, size_t(a.bytes.size() - sent), MSG_NOSIGNAL);
    }

    int fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    std::atomic<bool> stop_{false};
    std::mutex m_;
    std::deque<Answer> answers_;
    QByteArray lastLine_;
    std::thread thread_;
};
