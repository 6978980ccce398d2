#include "core/backuptext.h"
#include "helpers/storetestcase.h"
#include "helpers/testfiles.h"
#include "store/connectiontext.h"
#include "store/filemodes.h"
#include "store/store.h"

#include <QCryptographicHash>
#include <QDir>
#include <QtTest>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zorbin::store;

namespace {

QByteArray hashOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

Result<std::unique_ptr<Store>> openFile(const QString &path)
{
    return Store::open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
                       QStringLiteral(";Jet OLEDB:Database Password=") +
                       QString::fromLatin1(kDatabasePassword) + QLatin1Char(';'));
}

QStringList siteTitles(Store &store)
{
    QStringList titles;
    // The list is kept in a variable: a range over the temporary's value() would dangle.
    const QVector<qint64> ids = store.siteIds().value();
    for (const qint64 id : ids)
        titles << store.site(id)->fields[Onvan];
    return titles;
}

// Whether every site reads and the searches on title, address and subject work.
bool readsEverySite(Store &store)
{
    const auto ids = store.siteIds();
    if (!ids)
        return false;
    for (const qint64 id : *ids)
        if (!store.site(id))
            return false;
    return store.searchSites(SearchColumn::Onvan, QStringLiteral("site")) &&
           store.searchSites(SearchColumn::Address, QStringLiteral("http")) &&
           store.searchSites(SearchColumn::Mozoo, QStringLiteral("news"));
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

const QList<QByteArray> kThreeTables = {
    "CREATE TABLE Table_Site (ID INTEGER PRIMARY KEY AUTOINCREMENT, Onvan, Address, Mozoo, "
    "Email, Modir, Mobile, Yahoo, Facebook, \"User\", Pass, Tozihat, Gmail, Twitter, Google, Rss)",
    "CREATE TABLE Table_Category (ID INTEGER PRIMARY KEY AUTOINCREMENT, Category)",
    "CREATE TABLE Table_Contact (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name, \"Group\", Mobile, "
    "Home, Office, Email, Site, Job, Address, Image)",
};

} // namespace

class TstBackup : public StoreTestCase
{
    Q_OBJECT

private slots:

    // A backup is a consistent database at exactly the chosen path, 0600, with nothing
    // left beside it; an existing file there is replaced.
    void backupWritesExactPath()
    {
        TestStore &env = *m_env;
        env.addSite(QStringLiteral("first"));
        QTemporaryDir target;
        const QString path = target.filePath(QStringLiteral("my backup")); // no extension
        writeFile(path, "older file");
        const auto done = env.store->backupTo(path);
        QVERIFY2(done, done ? "" : qPrintable(done.error().detail));
        QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("my backup")});
        QCOMPARE(fileMode(path), 0600);
        auto copy = openFile(path);
        QVERIFY2(copy,
                 copy ? ""
                      : qPrintable(QString::number(int(copy.error().kind)) + copy.error().detail));
        QCOMPARE(siteTitles(**copy), QStringList{QStringLiteral("first")});
        // The store is still usable after the backup.
        QVERIFY(env.addSite(QStringLiteral("second")) > 0);
    }

    // Backups that cannot be made fail with a reason and leave no file.
    void backupFailures()
    {
        TestStore &env = *m_env;
        QTemporaryDir target;
        const auto empty = env.store->backupTo(QString());
        QVERIFY(!empty);
        const auto noFolder = env.store->backupTo(target.filePath(QStringLiteral("no/ZBDB.dbb")));
        QVERIFY(!noFolder);
        QCOMPARE(noFolder.error().kind, StoreError::Kind::Io);
        QVERIFY(!noFolder.error().detail.isEmpty());
        QVERIFY(!env.store->backupTo(target.path())); // a folder is in the way
        // The open database itself is never replaced by its own backup.
        const QString database = QDir(env.dir.path()).filePath(QStringLiteral("ZBDB.mdb"));
        const QByteArray before = hashOf(database);
        QVERIFY(!env.store->backupTo(database));
        QCOMPARE(hashOf(database), before);
        QVERIFY(QDir(target.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
        if (::geteuid() != 0) {
            QVERIFY(QFile::setPermissions(target.path(), QFile::ReadOwner | QFile::ExeOwner));
            QVERIFY(!env.store->backupTo(target.filePath(QStringLiteral("ZBDB.dbb"))));
            QVERIFY(QFile::setPermissions(target.path(),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            QVERIFY(QDir(target.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
        }
    }

    // Backup, change, restore: the data is what was backed up, the replaced data is kept
    // beside it, and both files are 0600.
    void roundTrip()
    {
        TestStore &env = *m_env;
        env.addSite(QStringLiteral("kept"));
        QTemporaryDir target;
        const QString backup = target.filePath(QStringLiteral("ZBDB.dbb"));
        QVERIFY(env.store->backupTo(backup));
        env.addSite(QStringLiteral("after backup"));

        const auto done = env.store->restoreFrom(backup);
        QVERIFY2(done, done ? "" : qPrintable(done.error().detail));
        const QString database = QDir(env.dir.path()).filePath(QStringLiteral("ZBDB.mdb"));
        QCOMPARE(fileMode(database), 0600);
        QCOMPARE(fileMode(done->safetyCopy), 0600);
        QCOMPARE(QFileInfo(done->safetyCopy).absolutePath(), QFileInfo(database).absolutePath());
        QVERIFY(QFileInfo(done->safetyCopy)
                    .fileName()
                    .contains(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));

        auto restored = openFile(database);
        QVERIFY(restored);
        QCOMPARE(siteTitles(**restored), QStringList{QStringLiteral("kept")});
        auto safety = openFile(done->safetyCopy);
        QVERIFY(safety);
        QCOMPARE(siteTitles(**safety), (QStringList{"kept", "after backup"}));
        // The chosen backup itself is never changed.
        QVERIFY(QFileInfo(backup).isFile());
        // No temporary file is left in the data folder.
        const QStringList left = QDir(env.dir.path()).entryList(QDir::Files | QDir::Hidden);
        for (const QString &name : left)
            QVERIFY2(!name.contains(QLatin1String(kPartialFileMark)), qPrintable(name));
    }

    // A backup damaged inside still has its tables and columns; reading its pages finds the
    // damage, and it is refused before it replaces anything.
    void restoreRefusesDamagedBackup()
    {
        TestStore &env = *m_env;
        // Enough sites that the middle of the file is a page of the site table or an index.
        QVERIFY(env.sql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                        "WHERE i < 3000) INSERT INTO Table_Site (Onvan, Address, Mozoo, Tozihat) "
                        "SELECT 'site ' || i, 'http://site' || i || '.ir', 'news', "
                        "printf('%.100c', 'x') FROM n"));
        QTemporaryDir target;
        const QString backup = target.filePath(QStringLiteral("ZBDB.dbb"));
        QVERIFY(env.store->backupTo(backup));
        {
            QFile f(backup);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.size() > 100 * 4096);
            QVERIFY(f.seek(f.size() / 2 / 4096 * 4096));
            QCOMPARE(f.write(QByteArray(4096, '\x5a')), 4096);
        }
        auto damaged = openFile(backup);
        QVERIFY(damaged); // the tables are all there
        QVERIFY(!readsEverySite(**damaged));
        damaged->reset();

        const QString database = QDir(env.dir.path()).filePath(QStringLiteral("ZBDB.mdb"));
        const QByteArray before = hashOf(database);
        const QStringList filesBefore = QDir(env.dir.path()).entryList(QDir::Files | QDir::Hidden);
        int working = 0; // the caller is called back while the file is copied and checked
        const auto done = env.store->restoreFrom(backup, [&] { ++working; });
        QVERIFY(!done);
        QVERIFY(working > 0);
        QCOMPARE(done.error().kind, StoreError::Kind::NotOpened);
        QVERIFY(!done.error().detail.isEmpty());
        QCOMPARE(hashOf(database), before);
        QCOMPARE(QDir(env.dir.path()).entryList(QDir::Files | QDir::Hidden), filesBefore);
        auto reopened = openFile(database);
        QVERIFY(reopened);
        QVERIFY(readsEverySite(**reopened));
    }

    // Anything but a Zorbin database is refused with its reason; the database stays as it was.
    void restoreRefusals_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("reason");
        QTest::newRow("empty") << "empty" << int(StoreError::Kind::WrongPassword);
        QTest::newRow("text") << "text" << int(StoreError::Kind::WrongPassword);
        QTest::newRow("wrong password") << "wrongkey" << int(StoreError::Kind::WrongPassword);
        QTest::newRow("plain sqlite") << "plain" << int(StoreError::Kind::NotEncrypted);
        QTest::newRow("missing table") << "notable" << int(StoreError::Kind::MissingTable);
        QTest::newRow("wrong columns") << "columns" << int(StoreError::Kind::WrongColumns);
        QTest::newRow("version 1.0") << "jet" << int(StoreError::Kind::OldFormat);
    }
    void restoreRefusals()
    {
        QFETCH(QString, kind);
        QFETCH(int, reason);
        TestStore &env = *m_env;
        env.addSite(QStringLiteral("current"));
        QTemporaryDir target;
        QString file = target.filePath(QStringLiteral("bad.dbb"));
        const QByteArray key(kDatabasePassword);
        if (kind == "empty") {
            writeFile(file, QByteArray());
        } else if (kind == "text") {
            writeFile(file, QByteArray("just some text\r\n").repeated(100));
        } else if (kind == "wrongkey") {
            QList<QByteArray> schema = kThreeTables;
            schema << "CREATE TABLE Table_User (UserName, Password, Question, Answer)";
            makeDb(file, "another password", schema);
        } else if (kind == "plain") {
            makeDb(file, QByteArray(), kThreeTables);
        } else if (kind == "notable") {
            makeDb(file, key, kThreeTables);
        } else if (kind == "columns") {
            QList<QByteArray> schema = kThreeTables;
            schema << "CREATE TABLE Table_User (UserName, Answer, Question, Password)";
            makeDb(file, key, schema);
        } else if (kind == "jet") {
            file = QStringLiteral(ZORBIN_TEST_DATA "/jet/zorbin-v1-sample.mdb");
            QVERIFY2(QFileInfo::exists(file), qPrintable(file));
        }
        const QString database = QDir(env.dir.path()).filePath(QStringLiteral("ZBDB.mdb"));
        const QByteArray before = hashOf(database);
        const QStringList filesBefore = QDir(env.dir.path()).entryList(QDir::Files | QDir::Hidden);
        const QByteArray chosen = hashOf(file);

        const auto done = env.store->restoreFrom(file);
        QVERIFY(!done);
        QCOMPARE(int(done.error().kind), reason);
        QCOMPARE(hashOf(database), before);
        QCOMPARE(QDir(env.dir.path()).entryList(QDir::Files | QDir::Hidden), filesBefore);
        QCOMPARE(hashOf(file), chosen);
        QCOMPARE(siteTitles(*env.store), QStringList{QStringLiteral("current")});
    }

    // A missing or unreadable file is a failure without a database reason.
    void restoreMissing()
    {
        TestStore &env = *m_env;
        const auto missing = env.store->restoreFrom(env.dir.filePath("nothing.dbb"));
        QVERIFY(!missing);
        QCOMPARE(missing.error().kind, StoreError::Kind::NotFound);
        QVERIFY(!missing.error().isOpenError());
        QVERIFY(!env.store->restoreFrom(QString()));
        QVERIFY(!env.store->restoreFrom(env.dir.path())); // a folder
    }

    // The success text carries the first ten characters of the day's Jalali date text.
    void successText()
    {
        QCOMPARE(zorbin::core::backupDoneMessage(QDate(2014, 6, 7)),
                 QStringLiteral("پشتيباني در تاريخ 1393/03/17 انجام گرديد"));
    }
};

QTEST_GUILESS_MAIN(TstBackup)
#include "tst_backup.moc"
