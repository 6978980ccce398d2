#include "core/updatecheck.h"
#include "helpers/httpserver.h"
#include "helpers/urlcatcher.h"
#include "helpers/windowtestcase.h"
#include "tools/updatecheckwindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using zorbin::tools::UpdateCheckWindow;

using namespace zorbin::core;

namespace {

const QByteArray kFile = "/products/update/Zorbin_v2.0.txt";
const QString kUpToDate = QStringLiteral("شما در حال استفاده از آخرين نسخه (2.0) مي باشيد");
const QString kNewVersion = QStringLiteral("نسخه جديد زوربين منتشر شده است");
const QString kOffLine = QStringLiteral("شما به اينترنت متصل نيستيد");
const QString kConnected = QStringLiteral("» Connected");
const QString kNotConnected = QStringLiteral("» Not connected");

// The window under test, pointed at a server through the settings, with its on-line state
// under the test's control.
struct Window
{
    Window(TestEnv &env, const QString &server) : dlg(*env.context)
    {
        env.settings->setValue(updateServerApplication(), updateServerSection(), updateServerKey(),
                               server);
        dlg.setOnLineTest([this] { return onLine; });
        dlg.show();
        status = dlg.findChild<QLabel *>(QStringLiteral("Label1"));
        message = dlg.findChild<QLabel *>(QStringLiteral("lblMessage"));
        check = dlg.findChild<QPushButton *>(QStringLiteral("Button_Update"));
        download = dlg.findChild<QPushButton *>(QStringLiteral("Button_Download"));
        body = dlg.findChild<QLineEdit *>(QStringLiteral("Text1"));
    }
    // Clicks the check button and waits for the check to end (bounded).
    bool runCheck()
    {
        QSignalSpy done(&dlg, &UpdateCheckWindow::checked);
        QTest::mouseClick(check, Qt::LeftButton);
        return !done.isEmpty() || done.wait(15000);
    }
    QColor colour() const { return message->palette().color(QPalette::WindowText); }

    UpdateCheckWindow dlg;
    bool onLine = true;
    QLabel *status = nullptr;
    QLabel *message = nullptr;
    QPushButton *check = nullptr;
    QPushButton *download = nullptr;
    QLineEdit *body = nullptr;
};

} // namespace

class TestUpdateCheckWindow : public WindowTestCase
{
    Q_OBJECT

private Q_SLOTS:
    // Only the exact bodies "0" and "1" are verdicts; anything else leaves "..." alone.
    void verdicts_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        QTest::newRow("0") << 200 << QByteArray("0") << kUpToDate;
        QTest::newRow("1") << 200 << QByteArray("1") << kNewVersion;
        QTest::newRow("0 and a line break") << 200 << QByteArray("0\n") << QStringLiteral("...");
        QTest::newRow("1 and a blank") << 200 << QByteArray("1 ") << QStringLiteral("...");
        QTest::newRow("error page")
            << 500 << QByteArray("<html><body>0</body></html>") << QStringLiteral("...");
        QTest::newRow("0 with an error status") << 404 << QByteArray("0") << QStringLiteral("...");
        QTest::newRow("empty") << 200 << QByteArray() << QStringLiteral("...");
    }
    void verdicts()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        HttpServer server;
        QVERIFY(server.listen());
        server.route(kFile, status, body);
        Window w(*m_env, server.base());
        QCOMPARE(w.status->text(), QStringLiteral("Status: ..."));
        QCOMPARE(w.message->text(), QStringLiteral("..."));
        QVERIFY(w.check->isVisible() && !w.download->isVisible());
        QVERIFY(w.body && w.body->text().isEmpty() && w.body->isReadOnly());
        const QColor before = w.colour();

        QVERIFY(w.runCheck());
        QCOMPARE(server.paths, QList<QByteArray>{kFile});
        QCOMPARE(w.status->text(), kConnected);
        // Text1 holds the body as it came; an error status brings none.
        QCOMPARE(w.body->text(), status < 400 ? QString::fromLatin1(body) : QString());
        QCOMPARE(w.message->text(), message);
        const bool newVersion = message == kNewVersion;
        QCOMPARE(w.check->isVisible(), !newVersion);
        QCOMPARE(w.download->isVisible(), newVersion);
        if (message == kUpToDate)
            QCOMPARE(w.colour(), QColor(0, 128, 0));
        else if (newVersion)
            QCOMPARE(w.colour(), QColor(192, 0, 192));
        else
            QCOMPARE(w.colour(), before);
        QVERIFY(w.check->isEnabled());
    }

    // A verdict stays until another verdict replaces it; off line the message says so,
    // then the body of the earlier check speaks again. Nothing is fetched off line.
    void laterChecksAndOffLine()
    {
        HttpServer server;
        QVERIFY(server.listen());
        Window w(*m_env, server.base());

        w.onLine = false;
        QVERIFY(w.runCheck());
        QCOMPARE(w.status->text(), kNotConnected);
        QCOMPARE(w.message->text(), kOffLine);
        QVERIFY(server.paths.isEmpty());

        w.onLine = true;
        server.route(kFile, 200, "0");
        QVERIFY(w.runCheck());
        QCOMPARE(w.message->text(), kUpToDate);
        server.route(kFile, 200, "<html>busy</html>");
        QVERIFY(w.runCheck());
        QCOMPARE(w.status->text(), kConnected);
        QCOMPARE(w.message->text(), kUpToDate);
        QCOMPARE(server.paths.size(), 2);

        // The last fetched body was no verdict; the message keeps the earlier one.
        w.onLine = false;
        QVERIFY(w.runCheck());
        QCOMPARE(w.status->text(), kNotConnected);
        QCOMPARE(w.message->text(), kOffLine);
        QCOMPARE(server.paths.size(), 2);

        // After a "0" body the off-line check shows that verdict again.
        w.onLine = true;
        server.route(kFile, 200, "0");
        QVERIFY(w.runCheck());
        w.onLine = false;
        QVERIFY(w.runCheck());
        QCOMPARE(w.status->text(), kNotConnected);
        QCOMPARE(w.message->text(), kUpToDate);
        QCOMPARE(w.body->text(), QStringLiteral("0"));
    }

    // The check runs beside the window: the click returns at once, a second click meanwhile
    // does not start a second fetch, and a server that does not answer gives no verdict.
    void checkDoesNotBlock()
    {
        QTcpServer silent; // accepts connections and never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        Window w(*m_env, QStringLiteral("http://127.0.0.1:%1").arg(silent.serverPort()));
        QSignalSpy done(&w.dlg, &UpdateCheckWindow::checked);
        QTest::mouseClick(w.check, Qt::LeftButton);
        QVERIFY(w.dlg.checking());
        QVERIFY(!w.check->isEnabled());
        QCOMPARE(done.size(), 0);
        w.check->click();
        QVERIFY(done.wait(kUpdateTimeoutMs + 5000));
        QTest::qWait(50);
        QCOMPARE(done.size(), 1);
        QCOMPARE(w.message->text(), QStringLiteral("..."));
        QVERIFY(w.check->isEnabled());
    }

    // A window closed while its fetch is under way stops the fetch at once.
    void closeWhileChecking()
    {
        HttpServer server;
        QVERIFY(server.listen());
        server.route(kFile, 200, "1");
        auto w = std::make_unique<Window>(*m_env, server.base());
        QTest::mouseClick(w->check, Qt::LeftButton);
        QVERIFY(w->dlg.checking());
        QTest::keyClick(&w->dlg, Qt::Key_Escape);
        QVERIFY(!w->dlg.isVisible());
        w.reset();
        QTest::qWait(100); // nothing arrives for the window that is gone

        // Against a server that never answers, closing does not wait out the time limit.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        w = std::make_unique<Window>(
            *m_env, QStringLiteral("http://127.0.0.1:%1").arg(silent.serverPort()));
        QTest::mouseClick(w->check, Qt::LeftButton);
        QVERIFY(w->dlg.checking());
        QElapsedTimer clock;
        clock.start();
        w.reset();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    }

    // The download button opens the news page of the same server; the window stays.
    void downloadOpensNewsPage()
    {
        HttpServer server;
        QVERIFY(server.listen());
        server.route(kFile, 200, "1");
        Window w(*m_env, server.base() + QStringLiteral("/"));
        UrlCatcher urls;
        QVERIFY(w.runCheck());
        QVERIFY(w.download->isVisible());
        QTest::mouseClick(w.download, Qt::LeftButton);
        QCOMPARE(urls.urls,
                 QList<QUrl>{QUrl(server.base() + QStringLiteral("/index.php?newsid=9"))});
        QVERIFY(w.dlg.isVisible());
        QVERIFY(!w.check->isVisible());
    }
};

QTEST_MAIN(TestUpdateCheckWindow)
#include "tst_updatecheckwindow.moc"
