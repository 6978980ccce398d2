#include "core/updatecheck.h"
#include "helpers/httpserver.h"
#include "store/settings.h"

#include <QElapsedTimer>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

using namespace zorbin::core;

namespace {

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
        HttpServer server;
        QVERIFY(server.listen());
        server.route(kFile, status, body);
        const auto got = updateVerdict(fetchUpdateBody(server.base() + QStringLiteral("/")));
        QCOMPARE(got ? int(*got) : -1, verdict);
        QCOMPARE(server.paths, QList<QByteArray>{kFile});
    }

    // A huge answer is no verdict, and only its start is downloaded.
    void hugeAnswerIsCutShort()
    {
        HttpServer server;
        QVERIFY(server.listen());
        const qint64 size = 50 * 1024 * 1024;
        server.routeStream(kFile, size);
        QCOMPARE(fetchUpdateBody(server.base()), QString());
        // What the system's socket buffers took before the check stopped, not the body.
        QVERIFY2(server.streamed < size / 4, qPrintable(QString::number(server.streamed)));
        QCOMPARE(server.paths, QList<QByteArray>{kFile});
    }

    // A wrong or missing server gives no verdict, promptly.
    void noServer()
    {
        HttpServer server;
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
