#include "platform/Http.h"

#include "platform/AppError.h"
#include "platform/TextDecoding.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace platform {

HttpResult QtHttpClient::get(const QString& url, const HttpOptions& options, const std::function<bool()>& cancelled)
{
    HttpResult result;
    const QUrl address(url);
    if (!address.isValid() || (address.scheme() != QLatin1String("http") && address.scheme() != QLatin1String("https"))) {
        result.error = errInetBadAddress;
        return result;
    }
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    QNetworkAccessManager manager;
    QNetworkRequest request(address);
    request.setTransferTimeout(options.timeoutMs);
    QNetworkReply* reply = manager.get(request);

    QByteArray body;
    bool tooLarge = false;
    bool timedOut = false;
    bool userCancelled = false;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        body += reply->readAll();
        if (body.size() > options.maxBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    deadline.start(options.timeoutMs);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (cancelled && cancelled()) {
            userCancelled = true;
            reply->abort();
        }
    });
    if (cancelled)
        poll.start(20);
    if (!reply->isFinished())
        loop.exec();
    poll.stop();
    deadline.stop();

    if (!tooLarge && !timedOut && !userCancelled)
        body += reply->readAll();
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError err = reply->error();
    reply->deleteLater();

    if (userCancelled) {
        result.cancelled = true;
        return result;
    }
    if (tooLarge) {
        result.error = errInetTooLarge;
        return result;
    }
    if (timedOut || err == QNetworkReply::TimeoutError || err == QNetworkReply::OperationCanceledError) {
        result.error = errInetTimeout;
        return result;
    }
    // An error page is a document like any other: the caller judges it.
    if (result.status > 0) {
        result.text = decodeText(body);
        return result;
    }
    switch (err) {
    case QNetworkReply::NoError:
        result.text = decodeText(body);
        break;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError:
        result.error = errInetCannotConnect;
        break;
    case QNetworkReply::ProxyTimeoutError:
        result.error = errInetTimeout;
        break;
    default:
        result.error = errInetRequestFailed;
        break;
    }
    return result;
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
