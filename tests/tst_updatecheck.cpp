#include "core/updatecheck.h"
#include "store/settings.h"

#include <QElapsedTimer>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

using namespace zorbin::tools;

namespace {

// A tiny HTTP/1.1 server on 127.0.0.1 in the test thread, served by the fetch's own event
// loop: each path gets a status and a body; unknown paths get 404.
class UpdateServer
{
public:
    bool listen()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { answer(socket); });
            }
        });
        return m_server.listen(QHostAddress::LocalHost, 0);
    }
    QString base() const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
    }
    void route(const QByteArray &path, int status, const QByteArray &body)
    {
        m_routes.insert(path, {status, body});
    }
    QList<QByteArray> paths;

private:
    void answer(QTcpSocket *socket)
    {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        if (!pending.contains("\r\n\r\n"))
            return;
        const QByteArray path = pending.split(' ').value(1);
        m_pending.remove(socket);
        paths << path;
        const auto [status, body] = m_routes.value(path, {404, "<html>Not Found</html>"});
        socket->write("HTTP/1.1 " + QByteArray::number(status) +
                      " X\r\nContent-Type: text/html\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QByteArray, std::pair<int, QByteArray>> m_routes;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

const QByteArray kFile = "/products/update/Zorbin_v2.0.txt";

} // namespace

class TstUpdateCheck : public QObject
{
    Q_OBJECT

private slots:
    // Only the exact bodies "0" and "1" give a verdict.
    void verdicts()
    {
        QCOMPARE(updateVerdict(QStringLiteral("0")), std::optional(UpdateVerdict::UpToDate));
        QCOMPARE(updateVerdict(QStringLiteral("1")), std::optional(UpdateVerdict::NewVersion));
        for (const char *body : {"", "0\n", "1 ", " 1", "0\r\n", "01", "2", "<html>1</html>"})
            QVERIFY2(!updateVerdict(QString::fromLatin1(body)), body);
    }

    // The addresses are built on the configured server, the maker's by default.
    void addresses()
    {
        QCOMPARE(updateFileUrl(QStringLiteral("http://mirror.example/")),
                 QStringLiteral("http://mirror.example/products/update/Zorbin_v2.0.txt"));
        QCOMPARE(newsPageUrl(QStringLiteral("http://mirror.example")),
                 QStringLiteral("http://mirror.example/index.php?newsid=9"));
        QTemporaryDir dir;
        zorbin::store::Settings settings(dir.path());
        QCOMPARE(updateServer(settings), defaultUpdateServer());
        QVERIFY(settings.setValue(updateServerApplication(), updateServerSection(),
                                  updateServerKey(), QStringLiteral(" http://127.0.0.1:9 ")));
        QCOMPARE(updateServer(settings), QStringLiteral("http://127.0.0.1:9"));
    }

    // Against a local server: the verdicts, and no verdict for anything else.
    void fetchFromServer_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("verdict"); // -1 none
        QTest::newRow("0") << 200 << QByteArray("0") << int(UpdateVerdict::UpToDate);
        QTest::newRow("1") << 200 << QByteArray("1") << int(UpdateVerdict::NewVersion);
        QTest::newRow("0 LF") << 200 << QByteArray("0\n") << -1;
        QTest::newRow("1 blank") << 200 << QByteArray("1 ") << -1;
        QTest::newRow("html page") << 200 << QByteArray("<html><body>1</body></html>") << -1;
        QTest::newRow("error page") << 500 << QByteArray("1") << -1;
        QTest::newRow("10 MB") << 200 << QByteArray(10 * 1024 * 1024, '1') << -1;
    }
    void fetchFromServer()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(int, verdict);
        UpdateServer server;
        QVERIFY(server.listen());
        server.route(kFile, status, body);
        const auto got = updateVerdict(fetchUpdateBody(server.base() + QStringLiteral("/")));
        QCOMPARE(got ? int(*got) : -1, verdict);
        QCOMPARE(server.paths, QList<QByteArray>{kFile});
    }

    // A wrong or missing server gives no verdict, promptly.
    void noServer()
    {
        UpdateServer server;
        QVERIFY(server.listen());
        QVERIFY(!updateVerdict(fetchUpdateBody(server.base()))); // 404
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            port = probe.serverPort();
        }
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(fetchUpdateBody(QStringLiteral("http://127.0.0.1:%1").arg(port), 3000), QString());
        QVERIFY(timer.elapsed() < 3500);
        QCOMPARE(fetchUpdateBody(QStringLiteral("not a url"), 3000), QString());
    }
};

QTEST_GUILESS_MAIN(TstUpdateCheck)
#include "tst_updatecheck.moc"
