#pragma once
// An HTTP server on 127.0.0.1 (a free port) in the test's own thread: a
// request waits for its answer in an event loop, which serves it too. Each
// request gets the next canned answer, raw bytes after an optional delay (no
// bytes: the connection is closed without a word).
#include "support/TempDrive.h"

#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

struct LoopbackServer {
    struct Answer {
        QByteArray bytes;
        int delayMs = 0;
    };
    static Answer ok(const QByteArray& body, int status = 200, const QByteArray& type = "text/plain; charset=utf-8")
    {
        return {"HTTP/1.1 " + QByteArray::number(status) + " X\r\n" + (type.isEmpty() ? QByteArray() : "Content-Type: " + type + "\r\n")
                + "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body};
    }
    LoopbackServer()
    {
        testing_support::ensureCoreApplication();
        server.listen(QHostAddress::LocalHost, 0);
        base = QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort());
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server.nextPendingConnection())
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    if (!s->canReadLine() || s->property("served").toBool())
                        return;
                    s->setProperty("served", true);
                    lastRequestLine = s->readLine().trimmed();
                    ++requests;
                    const Answer a = answers.isEmpty() ? Answer{} : answers.takeFirst();
                    QTimer::singleShot(a.delayMs, s, [s, a] {
                        s->write(a.bytes);
                        s->disconnectFromHost();
                    });
                });
        });
    }
    void answer(const Answer& a) { answers << a; }

    QTcpServer server;
    QString base;
    int requests = 0;
    QByteArray lastRequestLine;
    QList<Answer> answers;
};
