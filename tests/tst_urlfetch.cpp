#include "net/urlfetch.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkProxy>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using zorbin::net::fetchUrlText;

namespace {

// What the local server sends back for one path.
struct Reply
{
    int status = 200;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    bool silent = false;        // accept and read the request, then never answer
    qint64 declaredLength = -1; // Content-Length to claim; -1 means the real body size
};

QByteArray reasonFor(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

// A tiny HTTP/1.1 server living in the test thread. Every answer carries Content-Length
// and "Connection: close". The blocking fetch runs a local event loop, which also serves
// this server's sockets.
class LocalHttpServer
{
public:
    bool listen(const QHostAddress &address = QHostAddress::LocalHost)
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server,
                         [this] { acceptPending(); });
        return m_server.listen(address, 0);
    }

    quint16 port() const { return m_server.serverPort(); }

    QString url(const QByteArray &path, const QString &host = QStringLiteral("127.0.0.1")) const
    {
        return QStringLiteral("http://%1:%2%3")
            .arg(host)
            .arg(port())
            .arg(QString::fromLatin1(path));
    }

    void route(const QByteArray &path, const Reply &reply) { m_routes.insert(path, reply); }

    // The request heads received so far, one per request, without the final blank line.
    const QList<QByteArray> &requests() const { return m_requests; }

private:
    void acceptPending()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket,
                             [this, socket] { readFrom(socket); });
        }
    }

    void readFrom(QTcpSocket *socket)
    {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        const qsizetype end = pending.indexOf("\r\n\r\n");
        if (end < 0)
            return;

        const QByteArray head = pending.left(end);
        m_pending.remove(socket);
        m_requests.append(head);

        const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
        const QByteArray path = requestLine.size() > 1 ? requestLine.at(1) : QByteArray();
        const Reply reply = m_routes.value(path, Reply{404, "no such path", {}, false, -1});
        if (reply.silent)
            return;

        const qint64 length = reply.declaredLength >= 0 ? reply.declaredLength : reply.body.size();
        QByteArray answer =
            "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonFor(reply.status) + "\r\n";
        answer += "Content-Type: text/plain\r\n";
        answer += "Content-Length: " + QByteArray::number(length) + "\r\n";
        answer += "Connection: close\r\n";
        for (const auto &header : reply.headers)
            answer += header.first + ": " + header.second + "\r\n";
        answer += "\r\n";
        answer += reply.body;
        socket->write(answer);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QByteArray, Reply> m_routes;
    QHash<QTcpSocket *, QByteArray> m_pending;
    QList<QByteArray> m_requests;
};

// The value of a header in a request head, matched case-insensitively by name; a null
// array when the header is absent.
QByteArray headerValue(const QByteArray &head, const QByteArray &name)
{
    const QList<QByteArray> lines = head.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

QByteArray patternedBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 37 + 11) % 256);
    return bytes;
}

// A port on 127.0.0.1 that nothing listens on.
quint16 closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace

class TestUrlFetch : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void oneByteBody();
    void threeHundredByteBody();
    void largeBodyIsReadToTheEnd();
    void bodyLimit();
    void emptyBody();
    void errorStatusGivesEmpty_data();
    void errorStatusGivesEmpty();
    void truncatedBodyGivesEmpty();
    void refusedConnectionReturnsPromptly();
    void silentServerTimesOut();
    void sendsTheUserAgent();
    void asksForFreshContent();
    void neverServesFromCache();
    void followsRedirects();
    void badUrlGivesEmpty_data();
    void badUrlGivesEmpty();
    void nonPositiveTimeoutGivesEmpty();
    void bypassesTheApplicationProxy();
};

void TestUrlFetch::cleanup()
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
}

void TestUrlFetch::oneByteBody()
{
    LocalHttpServer server;
    QVERIFY(server.listen());
    server.route("/one", Reply{200, "x", {}, false, -1});

    const QString text = fetchUrlText(server.url("/one"));
    QCOMPARE(text.size(), 1);
    QCOMPARE(text, QStringLiteral("x"));
}

void TestUrlFetch::threeHundredByteBody()
{
    LocalHttpServer server;
    QVERIFY(server.listen());
    const QByteArray body = patternedBytes(300);
    server.route("/three-hundred", Reply{200, body, {}, false, -1});

    const QString text = fetchUrlText(server.url("/three-hundred"));
    QCOMPARE(text.size(), 300);
    QCOMPARE(text, QString::fromLatin1(body));
    QCOMPARE(text.toLatin1(), body);
}

void TestUrlFetch::largeBodyIsReadToTheEnd()
{
    LocalHttpServer server;
    QVERIFY(server.listen());
    const QByteArray body = patternedBytes(512 * 1024 + 7);
    server.route("/large", Reply{200, body, {}, false, -1});

    const QString text = fetchUrlText(server.url("/large"));
    QCOMPARE(text.size(), body.size());
    QVERIFY(text.toLatin1() == body);
}

// A capped fetch gives a body up to the cap whole and nothing for a longer one.
void TestUrlFetch::bodyLimit()
{
    LocalHttpServer server;
    QVERIFY(server.listen());
    const QByteArray body = patternedBytes(4096);
    server.route("/full", Reply{200, body, {}, false, -1});
    server.route("/over", Reply{200, body + 'x', {}, false, -1});
    QVERIFY(fetchUrlText(server.url("/full"), 5000, 4096).toLatin1() == body);
    QCOMPARE(fetchUrlText(server.url("/over"), 5000, 4096), QString());
    QCOMPARE(fetchUrlText(server.url("/over"), 5000).size(), 4097); // no cap
}

void TestUrlFetch::emptyBody()
{
    LocalHttpServer server;
    QVERIFY(server.listen());
    server.route("/empty", Reply{200, {}, {}, false, -1});

    QVERIFY(fetchUrlText(server.url("/empty")).isEmpty());
    QCOMPARE(server.requests().size(), 1);
}

void TestUrlFetch::errorStatusGivesEmpty_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("400") << 400;
    QTest::newRow("403") << 403;
    QTest::newRow("404") << 404;
    QTest::newRow("500") << 500;
    QTest::newRow("503") << 503;
}

void TestUrlFetch::errorStatusGivesEmpty()
{
    QFETCH(int, status);
    LocalHttpServer server;
    QVERIFY(server.listen());
    server.route("/page", Reply{status, "<html>an error page</html>", {}, false, -1});

    QElapsedTimer clock;
    clock.start();
    QVERIFY(fetchUrlText(server.url("/page")).isEmpty());
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(server.requests().size(), 1);
}

void TestUrlFetch::truncatedBodyGivesEmpty()
{
    LocalHttpServer server;
    QVERIFY(server.listen());
    server.route("/short", Reply{200, "only part", {}, false, 1000});

    QVERIFY(fetchUrlText(server.url("/short"), 5000).isEmpty());
}

void TestUrlFetch::refusedConnectionReturnsPromptly()
{
    const quint16 port = closedPort();
    QVERIFY(port != 0);

    QElapsedTimer clock;
    clock.start();
    const QString text =
        fetchUrlText(QStringLiteral("http://127.0.0.1:%1/anything").arg(port), 10000);
    const qint64 elapsed = clock.elapsed();

    QVERIFY(text.isEmpty());
    QVERIFY2(elapsed < 3000, qPrintable(QStringLiteral("took %1 ms").arg(elapsed)));
}

void TestUrlFetch::silentServerTimesOut()
{
    LocalHttpServer server;
    QVERIFY(server.listen());
    server.route("/silent", Reply{200, "never sent", {}, true, -1});

    QElapsedTimer clock;
    clock.start();
    const QString text = fetchUrlText(server.url("/silent"), 500);
    const qint64 elapsed = clock.elapsed();

    QVERIFY(text.isEmpty());
    QVERIFY2(elapsed >= 400, qPrintable(QStringLiteral("took %1 ms").arg(elapsed)));
    QVERIFY2(elapsed < 2000, qPrintable(QStringLiteral("took %1 ms").arg(elapsed)));
    QCOMPARE(server.requests().size(), 1);
}

void TestUrlFetch::sendsTheUserAgent()
{
    LocalHttpServer server;
    QVERIFY(server.listen());
    server.route("/agent", Reply{200, "ok", {}, false, -1});

    QCOMPARE(fetchUrlText(server.url("/agent")), QStringLiteral("ok"));
    QCOMPARE(server.requests().size(), 1);
    const QByteArray head = server.requests().constFirst();
    QVERIFY2(head.contains("\r\nUser-Agent: vb wininet\r\n") ||
                 head.endsWith("\r\nUser-Agent: vb wininet"),
             head.constData());
    QCOMPARE(headerValue(head, "user-agent"), QByteArray("vb wininet"));
}

void TestUrlFetch::asksForFreshContent()
{
    LocalHttpServer server;
    QVERIFY(server.listen());
    server.route("/fresh", Reply{200, "ok", {}, false, -1});

    QCOMPARE(fetchUrlText(server.url("/fresh")), QStringLiteral("ok"));
    QCOMPARE(server.requests().size(), 1);
    const QByteArray head = server.requests().constFirst();
    QVERIFY2(headerValue(head, "cache-control").contains("no-cache"), head.constData());
    QVERIFY2(headerValue(head, "if-none-match").isNull(), head.constData());
    QVERIFY2(headerValue(head, "if-modified-since").isNull(), head.constData());
}

void TestUrlFetch::neverServesFromCache()
{
    LocalHttpServer server;
    QVERIFY(server.listen());
    const QList<QPair<QByteArray, QByteArray>> cacheable = {
        {"Cache-Control", "public, max-age=86400"},
        {"ETag", "\"same\""},
        {"Last-Modified", "Mon, 01 Jan 2024 00:00:00 GMT"},
    };

    server.route("/cacheable", Reply{200, "first", cacheable, false, -1});
    QCOMPARE(fetchUrlText(server.url("/cacheable")), QStringLiteral("first"));

    server.route("/cacheable", Reply{200, "second", cacheable, false, -1});
    QCOMPARE(fetchUrlText(server.url("/cacheable")), QStringLiteral("second"));

    QCOMPARE(server.requests().size(), 2);
    QVERIFY(headerValue(server.requests().at(1), "if-none-match").isNull());
}

void TestUrlFetch::followsRedirects()
{
    LocalHttpServer server;
    QVERIFY(server.listen());
    server.route("/old",
                 Reply{302, "moved", {{"Location", server.url("/new").toLatin1()}}, false, -1});
    server.route("/new", Reply{200, "arrived", {}, false, -1});

    QCOMPARE(fetchUrlText(server.url("/old")), QStringLiteral("arrived"));
    QCOMPARE(server.requests().size(), 2);
    QCOMPARE(headerValue(server.requests().at(1), "user-agent"), QByteArray("vb wininet"));
}

void TestUrlFetch::badUrlGivesEmpty_data()
{
    QTest::addColumn<QString>("url");
    QTest::newRow("empty") << QString();
    QTest::newRow("blank") << QStringLiteral("   ");
    QTest::newRow("no scheme") << QStringLiteral("example.invalid/page.txt");
    QTest::newRow("garbage") << QStringLiteral("http://exa mple:99999999/");
    QTest::newRow("file") << QStringLiteral("file:///etc/hostname");
    QTest::newRow("data") << QStringLiteral("data:text/plain,hello");
}

void TestUrlFetch::badUrlGivesEmpty()
{
    QFETCH(QString, url);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(fetchUrlText(url, 5000).isEmpty());
    QVERIFY(clock.elapsed() < 1000);
}

void TestUrlFetch::nonPositiveTimeoutGivesEmpty()
{
    LocalHttpServer server;
    QVERIFY(server.listen());
    server.route("/any", Reply{200, "ok", {}, false, -1});

    QVERIFY(fetchUrlText(server.url("/any"), 0).isEmpty());
    QVERIFY(fetchUrlText(server.url("/any"), -5).isEmpty());
    QCOMPARE(server.requests().size(), 0);
}

void TestUrlFetch::bypassesTheApplicationProxy()
{
    // Qt never proxies loopback addresses or "localhost", so reach the server through this
    // machine's own name instead.
    const QString hostName = QHostInfo::localHostName();
    if (hostName.isEmpty() || hostName.startsWith(QLatin1String("localhost")))
        QSKIP("this machine has no usable host name");
    const QHostInfo info = QHostInfo::fromName(hostName);
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty())
        QSKIP("this machine's host name does not resolve");

    LocalHttpServer server;
    QVERIFY(server.listen(QHostAddress::Any));
    server.route("/direct", Reply{200, "direct", {}, false, -1});

    // A proxy that would answer differently if it were used.
    LocalHttpServer proxy;
    QVERIFY(proxy.listen());
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), proxy.port()));

    QCOMPARE(fetchUrlText(server.url("/direct", hostName), 5000), QStringLiteral("direct"));
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(proxy.requests().size(), 0);
}

QTEST_GUILESS_MAIN(TestUrlFetch)
#include "tst_urlfetch.moc"
