#include "urlfetch.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace zorbin::net {

namespace {

constexpr auto kUserAgent = "vb wininet";

QNetworkRequest makeRequest(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(kUserAgent));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    return request;
}

} // namespace

QString fetchUrlText(const QString &url, int timeoutMs, qint64 maxBytes)
{
    if (timeoutMs <= 0 || !QCoreApplication::instance())
        return {};

    const QUrl target(url.trimmed(), QUrl::StrictMode);
    const QString scheme = target.scheme();
    if (!target.isValid() || target.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};

    // One manager per call: nothing is shared between calls or threads. It is declared
    // before the reply so that the reply is destroyed first.
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    manager.setCache(nullptr);

    const std::unique_ptr<QNetworkReply> reply(manager.get(makeRequest(target)));
    if (!reply)
        return {};

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);

    bool timedOut = false;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
        loop.quit();
    });

    // With a cap, the body is taken as it arrives and the download stops as soon as it is
    // known to be too long.
    QByteArray body;
    bool tooLong = false;
    const auto stopTooLong = [&] {
        tooLong = true;
        reply->abort();
        loop.quit();
    };
    if (maxBytes > 0) {
        QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &loop, [&] {
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            if (!tooLong && length.isValid() && length.toLongLong() > maxBytes)
                stopTooLong();
        });
        QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
            if (tooLong)
                return;
            body += reply->read(maxBytes + 1 - body.size());
            if (body.size() > maxBytes)
                stopTooLong();
        });
    }

    if (!reply->isFinished()) {
        timer.start(timeoutMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        timer.stop();
    }

    if (tooLong || timedOut || !reply->isFinished() || reply->error() != QNetworkReply::NoError)
        return {};

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() >= 400)
        return {};

    if (maxBytes <= 0)
        return QString::fromLatin1(reply->readAll());
    body += reply->read(maxBytes + 1 - body.size());
    if (body.size() > maxBytes)
        return {};
    return QString::fromLatin1(body);
}

} // namespace zorbin::net
