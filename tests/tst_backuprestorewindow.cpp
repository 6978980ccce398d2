#include "common/dialogs.h"
#include "core/backuptext.h"
#include "helpers/testenv.h"
#include "store/connectiontext.h"
#include "store/records.h"
#include "tools/backuprestorewindow.h"
#include "tools/statisticswindow.h"
#include "tools/updatecheckwindow.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>
#include <memory>
#include <sqlite3.h>

using zorbin::tools::BackupRestoreWindow;
using zorbin::tools::StatisticsWindow;
using zorbin::tools::UpdateCheckWindow;

using zorbin::common::Dialogs;
using zorbin::store::Store;

namespace {

const QString kBackupCaption = QStringLiteral("پشتيبان گيري از اطلاعات");
const QString kRestoreCaption = QStringLiteral("بازگرداني اطلاعات");
const QString kNoBackupPath = QStringLiteral("لطفا مسير تهيه نسخه پشتيبان را وارد کنيد");
const QString kBackupFailed = QStringLiteral("   :خطا در اجراي برنامه");
const QString kNoRestorePath = QStringLiteral("لطفا مسير فايل پشتيبان را انتخاب کنيد");
const QString kNoSuchFile = QStringLiteral("لطفا مسير درست را وارد كنيد");
const QString kRestored = QStringLiteral("بازيابي اطلاعات انجام شد");
const QString kRestart = QStringLiteral("جهت يکپارچه سازي، نرم افزار را مجدداً اجرا نماييد");

QByteArray hashOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

std::unique_ptr<Store> openFile(const QString &path)
{
    return Store::open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
                       QStringLiteral(";Jet OLEDB:Database Password=$19!*85&=7^2046;"))
        .value_or(nullptr);
}

QStringList siteTitles(Store &store)
{
    QStringList titles;
    // The list is kept in a variable: a range over the temporary's value() would dangle.
    const QVector<qint64> ids = store.siteIds().value();
    for (const qint64 id : ids)
        titles << store.site(id)->fields[zorbin::store::Onvan];
    return titles;
}

// A version 1.0 database from the test files (an Access file).
QString oldDatabase()
{
    return QStringLiteral(ZORBIN_TEST_DATA "/jet/zorbin-v1-sample.mdb");
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(data), data.size());
}

// The window under test with its controls found by name.
struct Window
{
    Window(TestEnv &env, BackupRestoreWindow::Mode mode) : dlg(*env.context, mode)
    {
        dlg.show();
        tabs = dlg.findChild<QTabWidget *>(QStringLiteral("XTab1"));
        text1 = dlg.findChild<QLineEdit *>(QStringLiteral("Text1"));
        text2 = dlg.findChild<QLineEdit *>(QStringLiteral("Text2"));
        add1 = dlg.findChild<QPushButton *>(QStringLiteral("Button_Add1"));
        add2 = dlg.findChild<QPushButton *>(QStringLiteral("Button_Add2"));
        backup = dlg.findChild<QPushButton *>(QStringLiteral("Button_Backup"));
        restore = dlg.findChild<QPushButton *>(QStringLiteral("Button_Restore"));
    }
    bool found() const { return tabs && text1 && text2 && add1 && add2 && backup && restore; }
    void type(QLineEdit *box, const QString &text)
    {
        box->clear();
        box->setFocus();
        QTest::keyClicks(box, text);
    }

    BackupRestoreWindow dlg;
    QTabWidget *tabs = nullptr;
    QLineEdit *text1 = nullptr;
    QLineEdit *text2 = nullptr;
    QPushButton *add1 = nullptr;
    QPushButton *add2 = nullptr;
    QPushButton *backup = nullptr;
    QPushButton *restore = nullptr;
};

// Clicks the restore button inside a running application loop, as the program does, and
// returns the loop's exit status: 0 when the restore ended the program, 99 when it did not.
int clickInRunningProgram(QPushButton *button)
{
    auto over = std::make_shared<bool>(false);
    QMetaObject::invokeMethod(
        qApp,
        [button, over] {
            QTest::mouseClick(button, Qt::LeftButton);
            // Reached only when the click did not end the loop.
            QMetaObject::invokeMethod(
                qApp,
                [over] {
                    if (!*over)
                        QCoreApplication::exit(99);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    const int status = QApplication::exec();
    *over = true;
    return status;
}

} // namespace

class TestBackupRestoreWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> m_env;

    QString database() const
    {
        return QDir(m_env->dir.path()).filePath(QStringLiteral("ZBDB.mdb"));
    }

private Q_SLOTS:
    void initTestCase() { QApplication::setLayoutDirection(Qt::RightToLeft); }
    // Each test case gets a fresh data folder with its store.
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        QVERIFY(m_env->ok());
    }
    void cleanup() { m_env.reset(); }

    // Each mode shows its own tab and caption; the other tab cannot be reached.
    void modes()
    {
        for (const BackupRestoreWindow::Mode mode :
             {BackupRestoreWindow::Mode::Backup, BackupRestoreWindow::Mode::Restore}) {
            Window w(*m_env, mode);
            QVERIFY(w.found());
            const bool backup = mode == BackupRestoreWindow::Mode::Backup;
            QCOMPARE(w.tabs->currentIndex(), backup ? 0 : 1);
            QVERIFY(!w.tabs->isTabEnabled(backup ? 1 : 0));
            QVERIFY(w.tabs->isTabEnabled(backup ? 0 : 1));
            QCOMPARE(w.dlg.windowTitle(), backup ? kBackupCaption : kRestoreCaption);
            QTabBar *bar = w.tabs->findChild<QTabBar *>();
            QVERIFY(bar);
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(backup ? 1 : 0).center());
            QCOMPARE(w.tabs->currentIndex(), backup ? 0 : 1);
            QVERIFY(w.text1->text().isEmpty() && w.text2->text().isEmpty());
            // The icon-only choose buttons are named for assistive technology, and the
            // path captions lead to their boxes.
            QVERIFY(w.add1->text().isEmpty() && !w.add1->accessibleName().isEmpty());
            QVERIFY(w.add2->text().isEmpty() && !w.add2->accessibleName().isEmpty());
            QCOMPARE(w.dlg.findChild<QLabel *>(QStringLiteral("Label6"))->buddy(), w.text1);
            QCOMPARE(w.dlg.findChild<QLabel *>(QStringLiteral("Label5"))->buddy(), w.text2);
            // Escape closes the window.
            QTest::keyClick(backup ? w.text1 : w.text2, Qt::Key_Escape);
            QVERIFY(!w.dlg.isVisible());
            QCOMPARE(w.dlg.result(), int(QDialog::Rejected));
        }
    }

    // The choose buttons: a chosen file goes into the box, a cancelled dialog leaves it,
    // and the suggested name coming back unchanged empties it.
    void chooseButtons()
    {
        Window w(*m_env, BackupRestoreWindow::Mode::Backup);
        Dialogs::Script script;
        script.fileNames = {QStringLiteral("/tmp/a b/mine.dbb"), QString(), QStringLiteral("ZBDB")};
        w.add1->click();
        QCOMPARE(w.text1->text(), QStringLiteral("/tmp/a b/mine.dbb"));
        w.add1->click(); // cancelled
        QCOMPARE(w.text1->text(), QStringLiteral("/tmp/a b/mine.dbb"));
        w.add1->click();
        QCOMPARE(w.text1->text(), QString());
        QCOMPARE(script.of(Dialogs::Kind::SaveFile).size(), 3);
        QCOMPARE(script.lastText(), QStringLiteral("پشتيبان گيري"));

        Window r(*m_env, BackupRestoreWindow::Mode::Restore);
        script.fileNames = {QStringLiteral("ZBDB.dbb"), QStringLiteral("/tmp/x.dbb")};
        r.add2->click();
        QCOMPARE(r.text2->text(), QString());
        r.add2->click();
        QCOMPARE(r.text2->text(), QStringLiteral("/tmp/x.dbb"));
        QCOMPARE(script.of(Dialogs::Kind::OpenFile).size(), 2);
        QCOMPARE(script.lastText(), QStringLiteral("بازگرداني بانک"));
        QCOMPARE(script.of(Dialogs::Kind::Information).size() +
                     script.of(Dialogs::Kind::Exclamation).size(),
                 0);
    }

    // Empty boxes: only the message, nothing written, the window stays.
    void emptyPaths()
    {
        const QByteArray before = hashOf(database());
        Dialogs::Script script;
        Window b(*m_env, BackupRestoreWindow::Mode::Backup);
        b.backup->click();
        Window r(*m_env, BackupRestoreWindow::Mode::Restore);
        r.restore->click();
        QCOMPARE(script.texts(), (QStringList{kNoBackupPath, kNoRestorePath}));
        QCOMPARE(script.shown.at(0).kind, Dialogs::Kind::Exclamation);
        QCOMPARE(script.shown.at(1).kind, Dialogs::Kind::Exclamation);
        QVERIFY(b.dlg.isVisible() && r.dlg.isVisible());
        QVERIFY(!r.dlg.restored());
        QCOMPARE(hashOf(database()), before);
    }

    // Backup to a typed path without extension, then restore from it: the program ends and
    // the data is what was backed up.
    void backupThenRestore()
    {
        TestEnv &env = *m_env;
        env.addSite(QStringLiteral("kept one"));
        env.addSite(QStringLiteral("kept two"));
        QTemporaryDir target;
        const QString path = target.filePath(QStringLiteral("my backup"));
        {
            Dialogs::Script script;
            Window w(env, BackupRestoreWindow::Mode::Backup);
            w.type(w.text1, path);
            QTest::keyClick(w.text1, Qt::Key_Return); // Enter runs the backup
            QCOMPARE(script.texts(), QStringList{zorbin::core::backupDoneMessage()});
            QCOMPARE(script.shown.first().kind, Dialogs::Kind::Information);
            QCOMPARE(script.shown.first().title, QStringLiteral("Zorbin"));
            QVERIFY(!w.dlg.isVisible());
            QCOMPARE(w.dlg.result(), int(QDialog::Accepted));
            QVERIFY(w.text1->text().isEmpty());
        }
        QVERIFY(QFileInfo(path).isFile());
        // It holds every password: the owner alone may read it.
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ReadOther | QFileDevice::WriteOther;
        QVERIFY(!(QFileInfo(path).permissions() & others));
        env.addSite(QStringLiteral("added after the backup"));

        Dialogs::Script script;
        Window w(env, BackupRestoreWindow::Mode::Restore);
        w.type(w.text2, path);
        QCOMPARE(clickInRunningProgram(w.restore), 0);
        QCOMPARE(script.shown.size(), 2);
        QCOMPARE(script.shown.at(1).text, kRestart);
        // The success names the copy of the replaced data kept beside the database.
        const QStringList kept =
            QDir(env.dir.path()).entryList({QStringLiteral("ZBDB-before-restore-*.dbb")});
        QCOMPARE(kept.size(), 1);
        const QString copy = QDir::toNativeSeparators(QDir(env.dir.path()).filePath(kept.first()));
        QCOMPARE(script.shown.at(0).text,
                 kRestored + QStringLiteral("\r\n") +
                     QStringLiteral("اطلاعات قبلي در اين فايل نگه داشته شد:") +
                     QStringLiteral("\r\n") + copy);
        QCOMPARE(script.shown.at(0).kind, Dialogs::Kind::Information);
        QCOMPARE(script.shown.at(1).kind, Dialogs::Kind::Exclamation);
        QVERIFY(w.dlg.restored());
        QVERIFY(!w.dlg.isVisible());
        QVERIFY(w.text2->text().isEmpty());

        auto reopened = openFile(database());
        QVERIFY(reopened);
        QStringList titles = siteTitles(*reopened);
        titles.sort();
        QCOMPARE(titles, (QStringList{"kept one", "kept two"}));
    }

    // A backup that cannot be written: the failure in the program's words, no success
    // message, the window open with the path still there, nothing left behind.
    void backupToMissingFolder()
    {
        QTemporaryDir target;
        const QString path = target.filePath(QStringLiteral("no such folder/ZBDB.dbb"));
        Dialogs::Script script;
        Window w(*m_env, BackupRestoreWindow::Mode::Backup);
        w.text1->setText(path);
        w.backup->click();
        QCOMPARE(script.shown.size(), 1);
        QVERIFY2(script.lastText().endsWith(kBackupFailed), qPrintable(script.lastText()));
        QVERIFY(script.lastText().size() > kBackupFailed.size()); // the reason comes first
        QCOMPARE(script.shown.first().title, QStringLiteral("Zorbin"));
        QVERIFY(w.dlg.isVisible());
        QCOMPARE(w.text1->text(), path);
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(!QFileInfo::exists(target.filePath(QStringLiteral("no such folder"))));
    }

    // Whatever is not a Zorbin backup is refused with a clear message; the database, the
    // program and the window go on as before.
    void restoreRefusals_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "missing" << kNoSuchFile;
        QTest::newRow("folder") << "folder" << kNoSuchFile;
        QTest::newRow("empty") << "empty" << QString();
        QTest::newRow("text") << "text" << QString();
        QTest::newRow("wrong password") << "wrongkey" << QString();
        QTest::newRow("version 1.0") << "old" << QString();
    }
    void restoreRefusals()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        TestEnv &env = *m_env;
        env.addSite(QStringLiteral("current"));
        QTemporaryDir target;
        QString file = target.filePath(QStringLiteral("bad.dbb"));
        if (kind == "folder") {
            file = target.path();
        } else if (kind == "empty") {
            writeFile(file, QByteArray());
        } else if (kind == "text") {
            writeFile(file, QByteArray("not a database\r\n").repeated(200));
        } else if (kind == "wrongkey") {
            // A real Zorbin backup whose password was changed afterwards.
            QVERIFY(env.store->backupTo(file));
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(file).constData(), &db), SQLITE_OK);
            const QByteArray key(zorbin::store::kDatabasePassword);
            const QByteArray other("another password");
            QCOMPARE(sqlite3_key(db, key.constData(), int(key.size())), SQLITE_OK);
            QCOMPARE(sqlite3_rekey(db, other.constData(), int(other.size())), SQLITE_OK);
            QCOMPARE(sqlite3_exec(db, "SELECT count(*) FROM Table_Site", nullptr, nullptr, nullptr),
                     SQLITE_OK);
            sqlite3_close(db);
        } else if (kind == "old") {
            file = oldDatabase();
            QVERIFY2(QFileInfo::exists(file), qPrintable(file));
        }
        const QByteArray before = hashOf(database());
        const QByteArray chosen = hashOf(file);

        Dialogs::Script script;
        Window w(env, BackupRestoreWindow::Mode::Restore);
        w.text2->setText(file);
        QCOMPARE(clickInRunningProgram(w.restore), 99); // the program goes on
        QCOMPARE(script.shown.size(), 1);
        if (!message.isEmpty()) {
            QCOMPARE(script.lastText(), message);
            QCOMPARE(script.shown.first().kind, Dialogs::Kind::Information);
        } else {
            QCOMPARE(script.shown.first().kind, Dialogs::Kind::Error);
            QVERIFY(!script.texts().contains(kRestored));
        }
        QVERIFY(!w.dlg.restored());
        QVERIFY(w.dlg.isVisible());
        QCOMPARE(w.text2->text(), file);
        QCOMPARE(hashOf(database()), before);
        QCOMPARE(hashOf(file), chosen);
        QCOMPARE(siteTitles(*env.store), QStringList{QStringLiteral("current")});
        // The store still takes changes: nothing was switched underneath it.
        QVERIFY(env.addSite(QStringLiteral("after")) > 0);
    }

#ifdef ZORBIN_SCREENSHOTS
    // Under a real display (ZORBIN_SHOT=folder): pictures of both tabs, and of the
    // statistics and update windows beside them.
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("ZORBIN_SHOT");
        if (folder.isEmpty())
            QSKIP("set ZORBIN_SHOT to a folder to take the pictures");
        TestEnv &env = *m_env;
        env.addSite(QStringLiteral("خبرگزاري"));
        QScreen *screen = QGuiApplication::primaryScreen();
        const auto shoot = [&](QDialog &dlg, const QString &name) {
            dlg.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            QTest::qWait(300);
            QVERIFY(screen->grabWindow(0).save(folder + QStringLiteral("/shot-") + name +
                                               QStringLiteral(".png")));
            dlg.close();
        };
        BackupRestoreWindow backup(*env.context, BackupRestoreWindow::Mode::Backup);
        backup.findChild<QLineEdit *>(QStringLiteral("Text1"))
            ->setText(QStringLiteral("/home/user/ZBDB.dbb"));
        shoot(backup, QStringLiteral("bank-backup"));
        BackupRestoreWindow restore(*env.context, BackupRestoreWindow::Mode::Restore);
        shoot(restore, QStringLiteral("bank-restore"));
        StatisticsWindow stat(*env.context);
        shoot(stat, QStringLiteral("stat"));
        UpdateCheckWindow update(*env.context);
        update.setOnLineTest([] { return false; });
        update.findChild<QPushButton *>(QStringLiteral("Button_Update"))->click();
        shoot(update, QStringLiteral("update"));
    }
#endif
};

QTEST_MAIN(TestBackupRestoreWindow)
#include "tst_backuprestorewindow.moc"
