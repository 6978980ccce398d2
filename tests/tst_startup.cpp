#include "account/loginwindow.h"
#include "app/startup.h"
#include "common/dialogs.h"
#include "helpers/testenv.h"
#include "mainwin/mainwindow.h"
#include "store/connectiontext.h"
#include "store/messages.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using zorbin::account::LoginWindow;
using zorbin::app::Startup;

using zorbin::common::Dialogs;
using zorbin::store::Store;
using zorbin::store::StoreError;

// The start of the program: login first, the deferred database check, the hand-over.
class TestStartup : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;
    // The store as the program has it when the login window shows: connected, not checked.
    std::unique_ptr<Store> m_store;
    std::unique_ptr<zorbin::common::Context> m_context;

    void connectOnly()
    {
        m_env->store.reset();
        m_store =
            Store::connect(zorbin::store::connectionText(m_env->dir.path())).value_or(nullptr);
        QVERIFY(m_store);
        m_context = std::make_unique<zorbin::common::Context>(
            zorbin::common::Context{*m_store, *m_env->settings, m_env->dir.path()});
    }

private Q_SLOTS:
    void initTestCase() { QApplication::setLayoutDirection(Qt::RightToLeft); }
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        QVERIFY(m_env->ok());
    }
    void cleanup()
    {
        m_context.reset();
        m_store.reset();
        m_env.reset();
    }

    void checkFailingAfterTheWindowShows()
    {
        QVERIFY(m_env->sql("DROP TABLE Table_Contact"));
        connectOnly();
        Dialogs::Script script;
        Startup startup(*m_context);
        QSignalSpy finished(&startup, &Startup::finished);
        startup.start();
        // Nothing is checked before the window has painted.
        QVERIFY(script.shown.isEmpty());
        QVERIFY(startup.login()->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(startup.login()));
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), 1);
        QCOMPARE(script.shown.size(), 1);
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Error);
        QCOMPARE(script.lastText(),
                 zorbin::store::openErrorMessage(
                     {StoreError::Kind::MissingTable, QStringLiteral("Table_Contact")}));
        // No names were read from the broken file, and no main window follows.
        auto *names = startup.login()->findChild<QComboBox *>(QStringLiteral("Combo1"));
        QCOMPARE(names->count(), 0);
        QVERIFY(!startup.mainPage());
    }

    void missingIndexesAreMadeBeforeTheNames()
    {
        // A file made elsewhere: many sites, no search indexes.
        QVERIFY(m_env->sql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                           "WHERE i < 30000) INSERT INTO Table_Site(ID,Onvan) "
                           "SELECT i, 'site ' || i FROM n"));
        for (const char *sql : {"DROP INDEX Site_ID", "DROP INDEX Site_Onvan",
                                "DROP INDEX Site_Address", "DROP INDEX Contact_Name"})
            QVERIFY2(m_env->sql(sql), sql);
        connectOnly();
        Dialogs::Script script;
        Startup startup(*m_context);
        // The progress window shows over the login window while they are made.
        bool progressShown = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("IndexProgress") && w->isVisible())
                    progressShown = true;
        });
        watch.start(1);
        startup.start();
        auto *names = startup.login()->findChild<QComboBox *>(QStringLiteral("Combo1"));
        QTRY_COMPARE(names->count(), 1);
        watch.stop();
        QVERIFY(progressShown);
        QCOMPARE(m_store->missingIndexCount(), 0);
        QVERIFY(m_store->indexProblem().isEmpty());
        QVERIFY(script.shown.isEmpty());
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(w->objectName() != QLatin1String("IndexProgress") || !w->isVisible());
    }
    void loginHandsOverToTheMainWindow()
    {
        connectOnly();
        Dialogs::Script script;
        Startup startup(*m_context);
        QSignalSpy finished(&startup, &Startup::finished);
        startup.start();
        LoginWindow *login = startup.login();
        auto *names = login->findChild<QComboBox *>(QStringLiteral("Combo1"));
        // The names follow the first paint.
        QCOMPARE(names->count(), 0);
        QTRY_COMPARE(names->count(), 1);
        QCOMPARE(names->itemText(0), Store::defaultUserName());

        names->setEditText(Store::defaultUserName());
        login->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(Store::defaultPassword());
        login->findChild<QPushButton *>(QStringLiteral("Button_Login"))->click();
        QVERIFY(startup.mainPage());
        QVERIFY(startup.mainPage()->isVisible());
        // The login window closes and goes away; the program goes on.
        QTRY_VERIFY(!startup.login());
        QVERIFY(finished.isEmpty());
        QVERIFY(script.shown.isEmpty());
        QCOMPARE(startup.mainPage()->shownCount(), 0);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
