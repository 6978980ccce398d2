// Converting version 1.0 databases of the current engine into ZBDB.mdb: every value as
// text, null as empty, nothing merged, all or nothing, bad input refused with a message,
// and the saved backup restorable.

#include "../bench/converter/v1database.h"
#include "converter/conversion.h"
#include "helpers/conversiontestcase.h"
#include "helpers/rawdb.h"
#include "helpers/testfiles.h"
#include "helpers/teststore.h"
#include "store/connectiontext.h"
#include "store/datafolder.h"
#include "store/sqlite.h"
#include "store/store.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>
#include <unistd.h>

using namespace zorbin::converter;
using zorbin::benchdata::TableRows;
using zorbin::store::Store;

namespace {

QByteArray hashOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    return h.result();
}

const char kSites[] = "SELECT Onvan, Address, Mozoo, Email, Modir, Mobile, Yahoo, Facebook, "
                      "\"User\", Pass, Tozihat, Gmail, Twitter, Google, Rss FROM Table_Site "
                      "ORDER BY ID";
const char kContacts[] = "SELECT Name, \"Group\", Mobile, Home, Office, Email, Site, Job, "
                         "Address, Image FROM Table_Contact ORDER BY ID";
const char kUsers[] = "SELECT UserName, Password, Question, Answer FROM Table_User ORDER BY rowid";
const char kCategories[] = "SELECT Category FROM Table_Category ORDER BY ID";

const QString kLong = QString(10000, QChar(0x0645)); // 10,000 characters of Persian
const QString kEmoji = QString::fromUtf8("\xF0\x9F\x98\x80 \xD8\xB3\xD9\x84\xD8\xA7\xD9\x85");

// The version 1.0 database most tests convert: Persian text, nulls, CR LF, a value of
// 10,000 characters, a character outside the Basic Multilingual Plane, and an empty
// Table_Category.
void sampleRows(TableRows (&t)[4])
{
    t[0] = {1, [](qint64, QStringList &v) {
                v << "old" << QString::fromUtf8("رمز ۱۲۳") << QString() << "";
            }};
    t[1] = {3, [](qint64 i, QStringList &v) {
                for (int c = 0; c < 11; ++c)
                    v << QStringLiteral("s%1f%2").arg(i).arg(c);
                if (i == 0) {
                    v[0] = QString::fromUtf8("كتاب‌فروشي ققنوس");
                    v[10] = kLong;
                } else if (i == 1) {
                    v[6] = QString();
                    v[7] = QString();
                    v[10] = QStringLiteral("line 1\r\nline 2");
                } else {
                    v[0] = kEmoji;
                    v[9] = QStringLiteral("it's \"quoted\" 100%_");
                }
            }};
    t[2] = {0, {}};
    t[3] = {2, [](qint64 i, QStringList &v) {
                for (int c = 0; c < 10; ++c)
                    v << (i == 1 && c == 2 ? QString() : QStringLiteral("c%1f%2").arg(i).arg(c));
            }};
}

} // namespace

// Each test case gets a fresh data folder and a fresh sample source.
class TestConvert : public ConversionTestCase
{
    Q_OBJECT
public:
    TestConvert() : ConversionTestCase(QStringLiteral("old.dbb")) {}

private:
    bool makeSource(const QString &path) override
    {
        TableRows t[4];
        sampleRows(t);
        return zorbin::benchdata::makeVersion1Database(path, t);
    }

    QString targetFolder() const { return m_env->dir.path(); }
    QString target() const { return QDir(targetFolder()).filePath(QStringLiteral("ZBDB.mdb")); }

private slots:
    void importRollsBackUnlessCommitted();
    void convertsEveryValueAsText();
    void secondRunAddsEverythingAgain();
    void refusedRecordLeavesTargetAsItWas();
    void lockedTargetIsReported();
    void badSourcesAreRefused_data();
    void badSourcesAreRefused();
    void targetProblemsAreNamed();
    void savedBackupRestores();
    void failedSaveIsReported();
};

void TestConvert::importRollsBackUnlessCommitted()
{
    Store *store = m_env->store.get();
    const std::vector<QString> category{QStringLiteral("news")};
    {
        auto import = store->beginImport();
        QVERIFY(import);
        // One transaction at a time.
        QVERIFY(!store->beginImport());
        QVERIFY(import->append(Store::ImportTable::Category, category));
        // Dropped without its commit.
    }
    QCOMPARE(store->categoryCount().value(), 0);
    {
        auto import = store->beginImport();
        QVERIFY(import);
        QVERIFY(import->append(Store::ImportTable::Category, category));
        // A record of the wrong shape ends the transaction and takes the first with it.
        const auto wrong = import->append(Store::ImportTable::Site, category);
        QVERIFY(!wrong);
        QVERIFY(wrong.error().detail.contains("Table_Site"));
        QVERIFY(!import->append(Store::ImportTable::Category, category));
        QVERIFY(!import->commit());
    }
    QCOMPARE(store->categoryCount().value(), 0);
    {
        auto import = store->beginImport();
        QVERIFY(import);
        QVERIFY(import->append(Store::ImportTable::Category, category));
        QVERIFY(import->append(Store::ImportTable::Category, std::vector<QString>{QString()}));
        QVERIFY(import->commit());
    }
    QCOMPARE(store->categoryCount().value(), 2);
    const auto titles = rawRows(targetFolder(), kCategories, 1);
    QCOMPARE(titles[1][0], QStringLiteral(""));
    QVERIFY(!titles[1][0].isNull());
    // The store works as before once the import is over.
    QVERIFY(store->addCategory(QStringLiteral("after")));
}

void TestConvert::convertsEveryValueAsText()
{
    const QByteArray sourceHash = hashOf(m_source);
    auto analysis = analyse(m_source, targetFolder());
    QVERIFY2(analysis, qPrintable(analysis ? QString() : analysis.error()));
    QVERIFY(!analysis->version2Sites);
    QList<int> progressTables;
    const auto counts = convert(*analysis, [&](int t, qint64) { progressTables << t; });
    QVERIFY2(counts, qPrintable(counts ? QString() : counts.error()));
    QCOMPARE(*counts, (Counts{1, 3, 0, 2}));
    QCOMPARE(progressTables, (QList<int>{0, 1, 2, 3}));
    analysis->source.reset();
    analysis->target.reset();
    // The source is never changed.
    QCOMPARE(hashOf(m_source), sourceHash);

    const auto users = rawRows(targetFolder(), kUsers, 4);
    QCOMPARE(users.size(), 2);
    QCOMPARE(users[0][0], Store::defaultUserName());
    QCOMPARE(users[1], (QStringList{"old", QString::fromUtf8("رمز ۱۲۳"), "", ""}));

    const auto sites = rawRows(targetFolder(), kSites, 15);
    QCOMPARE(sites.size(), 3);
    QCOMPARE(sites[0][0], QString::fromUtf8("كتاب‌فروشي ققنوس"));
    QCOMPARE(sites[0][10], kLong);
    QCOMPARE(sites[1][6], QStringLiteral(""));
    QCOMPARE(sites[1][10], QStringLiteral("line 1\r\nline 2"));
    QCOMPARE(sites[2][0], kEmoji);
    QCOMPARE(sites[2][9], QStringLiteral("it's \"quoted\" 100%_"));
    QCOMPARE(sites[2][1], QStringLiteral("s2f1"));
    for (const QStringList &site : sites) {
        // The four fields version 1.0 lacks arrive empty, not NULL.
        for (int c = 11; c < 15; ++c)
            QCOMPARE(site[c], QStringLiteral(""));
        for (const QString &v : site)
            QVERIFY(!v.isNull());
    }
    QVERIFY(rawRows(targetFolder(), kCategories, 1).isEmpty());
    const auto contacts = rawRows(targetFolder(), kContacts, 10);
    QCOMPARE(contacts.size(), 2);
    QCOMPARE(contacts[1][2], QStringLiteral(""));
    QVERIFY(!contacts[1][2].isNull());
    QCOMPARE(contacts[1][9], QStringLiteral("c1f9"));
}

void TestConvert::secondRunAddsEverythingAgain()
{
    for (int run = 0; run < 2; ++run) {
        auto analysis = analyse(m_source, targetFolder());
        QVERIFY(analysis);
        QVERIFY(convert(*analysis));
    }
    const auto sites = rawRows(targetFolder(), kSites, 15);
    QCOMPARE(sites.size(), 6);
    // Appended in source order after what was there; nothing merged.
    for (int i = 0; i < 3; ++i)
        QCOMPARE(sites[i + 3], sites[i]);
    QCOMPARE(rawRows(targetFolder(), kUsers, 4).size(), 3);
    QCOMPARE(rawRows(targetFolder(), kContacts, 10).size(), 4);
}

void TestConvert::refusedRecordLeavesTargetAsItWas()
{
    // The last table's second record is refused, after three tables went in.
    QVERIFY(m_env->sql("CREATE TRIGGER refuse BEFORE INSERT ON Table_Contact "
                       "WHEN NEW.Name = 'c1f0' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    auto analysis = analyse(m_source, targetFolder());
    QVERIFY(analysis);
    const auto counts = convert(*analysis);
    QVERIFY(!counts);
    QVERIFY2(counts.error().text.contains("Table_Contact"), qPrintable(counts.error()));
    QVERIFY(counts.error().text.contains("record 2"));
    QVERIFY(counts.error().text.contains("Nothing was added"));
    // The connection is usable and the file holds only the new installation.
    QCOMPARE(analysis->target->siteCount().value(), 0);
    QCOMPARE(analysis->target->users().value().size(), 1);
    analysis->source.reset();
    analysis->target.reset();
    QCOMPARE(rawRows(targetFolder(), kSites, 15).size(), 0);
    QCOMPARE(rawRows(targetFolder(), kContacts, 10).size(), 0);
    QCOMPARE(rawRows(targetFolder(), kUsers, 4).size(), 1);
}

void TestConvert::lockedTargetIsReported()
{
    auto analysis = analyse(m_source, targetFolder());
    QVERIFY(analysis);
    // Another program holds the write lock for the whole conversion (past the store's
    // busy wait of a few seconds).
    RawDb other(targetFolder());
    QVERIFY(other.exec("BEGIN IMMEDIATE"));
    const auto counts = convert(*analysis);
    QVERIFY(!counts);
    QVERIFY2(counts.error().text.contains("in use"), qPrintable(counts.error()));
    QVERIFY(other.exec("ROLLBACK"));
    // Once the lock is gone, the same analysis converts.
    QVERIFY(convert(*analysis));
}

void TestConvert::badSourcesAreRefused_data()
{
    using Kind = Refusal::Kind;
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("named");
    QTest::addColumn<Refusal::Kind>("refusal");
    QTest::newRow("missing file") << "missing"
                                  << "does not exist" << Kind::Other;
    QTest::newRow("folder") << "folder"
                            << "folder" << Kind::Other;
    QTest::newRow("empty file") << "empty"
                                << "empty" << Kind::NotADatabase;
    QTest::newRow("text file") << "text"
                               << "not a database" << Kind::NotADatabase;
    // Without the key, random bytes cannot be told from a database encrypted with
    // another password.
    QTest::newRow("random bytes") << "random"
                                  << "Zorbin's password" << Kind::WrongPassword;
    QTest::newRow("unencrypted") << "plain"
                                 << "unencrypted" << Kind::Other;
    QTest::newRow("version 2.0 password") << "password"
                                          << "Restore" << Kind::AlreadyVersion2;
    QTest::newRow("zorbin backup") << "backup"
                                   << "already a version 2.0 database" << Kind::AlreadyVersion2;
    QTest::newRow("missing table") << "table"
                                   << "Table_Category" << Kind::Other;
    QTest::newRow("missing field") << "field"
                                   << "Tozihat" << Kind::Other;
    QTest::newRow("truncated") << "truncated"
                               << "damaged" << Kind::Damaged;
    QTest::newRow("picture") << "picture"
                             << "not a database" << Kind::NotADatabase;
    QTest::newRow("access header only") << "jet"
                                        << "Access database" << Kind::WrongPassword;
}

void TestConvert::badSourcesAreRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, named);
    QFETCH(Refusal::Kind, refusal);
    const QString path = workPath("bad.mdb");
    TableRows t[4];
    sampleRows(t);
    auto write = [&](const QByteArray &bytes) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    };
    if (kind == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == "empty") {
        write(QByteArray());
    } else if (kind == "text") {
        write(QByteArray("not a database\r\n").repeated(256));
    } else if (kind == "backup") {
        QVERIFY(m_env->store->backupTo(path));
    } else if (kind == "picture" || kind == "random") {
        QByteArray bytes(8192, 0);
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 7919 + 13) % 251);
        if (kind == "picture")
            bytes.replace(0, 4, "\x89PNG");
        write(bytes);
    } else if (kind == "plain") {
        QVERIFY(zorbin::benchdata::makeVersion1Database(path, t, QByteArray()));
    } else if (kind == "password") {
        QVERIFY(zorbin::benchdata::makeVersion1Database(path, t, "$19!*85&=7^2046"));
    } else if (kind == "table") {
        QVERIFY(zorbin::benchdata::makeVersion1Database(path, t, kVersion1Password,
                                                        "DROP TABLE Table_Category"));
    } else if (kind == "field") {
        t[1] = {};
        QVERIFY(zorbin::benchdata::makeVersion1Database(
            path, t, kVersion1Password,
            "DROP TABLE Table_Site; CREATE TABLE Table_Site (ID INTEGER PRIMARY KEY, Onvan, "
            "Address, Mozoo, Email, Modir, Mobile, Yahoo, Facebook, \"User\", Pass)"));
    } else if (kind == "truncated") {
        // Enough rows to span pages, then cut in the middle of a page.
        t[1].count = 2000;
        QVERIFY(zorbin::benchdata::makeVersion1Database(path, t));
        QFile file(path);
        QVERIFY(file.resize(file.size() / 2 + 100));
    } else if (kind == "jet") {
        QByteArray bytes(4096, 0);
        bytes.replace(4, 15, "Standard Jet DB");
        bytes[0x14] = 1;
        write(bytes);
    }
    const QByteArray targetHash = hashOf(target());
    auto analysis = analyse(path, targetFolder());
    if (analysis) {
        // Damage the analysis does not reach is found while converting.
        QVERIFY2(kind == "truncated", qPrintable(kind));
        const auto counts = convert(*analysis);
        QVERIFY(!counts);
        QVERIFY(counts.error().text.contains("Nothing was added"));
        QVERIFY2(counts.error().text.contains(named), qPrintable(counts.error()));
        QCOMPARE(counts.error().kind, refusal);
    } else {
        QVERIFY2(analysis.error().text.contains(named), qPrintable(analysis.error()));
        QCOMPARE(analysis.error().kind, refusal);
    }
    analysis = std::unexpected(Refusal{});
    QCOMPARE(hashOf(target()), targetHash);
}

void TestConvert::targetProblemsAreNamed()
{
    // No ZBDB.mdb in the data folder: the converter never makes one.
    const QString empty = workPath("nothing");
    QVERIFY(QDir().mkpath(empty));
    auto analysis = analyse(m_source, empty);
    QVERIFY(!analysis);
    QVERIFY2(analysis.error().text.contains("no ZBDB.mdb"), qPrintable(analysis.error()));
    QVERIFY(!QFileInfo::exists(QDir(empty).filePath("ZBDB.mdb")));

    // A version 1.0 file where ZBDB.mdb should be.
    QVERIFY(QFile::copy(m_source, QDir(empty).filePath("ZBDB.mdb")));
    analysis = analyse(m_source, empty);
    QVERIFY(!analysis);
    QVERIFY2(analysis.error().text.contains("not a Zorbin version 2.0"),
             qPrintable(analysis.error()));

    // The source chosen is ZBDB.mdb itself.
    analysis = analyse(target(), targetFolder());
    QVERIFY(!analysis);

    if (geteuid() == 0)
        QSKIP("Running as root: a read-only folder is writable all the same.");
    QFile::setPermissions(targetFolder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    analysis = analyse(m_source, targetFolder());
    QFile::setPermissions(targetFolder(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!analysis);
    QVERIFY2(analysis.error().text.contains("read-only"), qPrintable(analysis.error()));
}

void TestConvert::savedBackupRestores()
{
    auto analysis = analyse(m_source, targetFolder());
    QVERIFY(analysis);
    QVERIFY(convert(*analysis));
    // Saved while the converter still holds ZBDB.mdb open, over an older file.
    const QString backup = workPath("backup.dbb");
    {
        QFile old(backup);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older backup");
    }
    const auto saved = saveCopy(analysis->targetPath, backup);
    QVERIFY2(saved, qPrintable(saved ? QString() : saved.error()));
    QCOMPARE(QFile::permissions(backup) & 0x0077, QFileDevice::Permissions());
    QCOMPARE(hashOf(backup), hashOf(target()));

    // Zorbin's restore takes the backup in place of its database, which the next start
    // opens with every converted record.
    TestStore zorbin;
    QVERIFY(zorbin.ok());
    const auto restored = zorbin.store->restoreFrom(backup);
    QVERIFY2(restored, restored ? "" : qPrintable(restored.error().detail));
    zorbin.store.reset();
    auto opened = zorbin::store::openDataFolder(zorbin.dir.path());
    QVERIFY2(opened, opened ? "" : qPrintable(opened.error().detail));
    auto &store = *opened;
    QCOMPARE(store->siteCount().value(), 3);
    QCOMPARE(store->contactCount().value(), 2);
    QCOMPARE(store->users().value().size(), 2);
    QCOMPARE(rawRows(zorbin.dir.path(), kSites, 15)[0][10], kLong);
}

void TestConvert::failedSaveIsReported()
{
    const QString missingFolder = workPath("no/such/folder/backup.dbb");
    auto saved = saveCopy(target(), missingFolder);
    QVERIFY(!saved);
    QVERIFY(saved.error().text.contains(missingFolder));
    QVERIFY(!QFileInfo::exists(missingFolder));
    // Not over the database itself, nor onto a folder.
    saved = saveCopy(target(), target());
    QVERIFY(!saved);
    saved = saveCopy(target(), m_work->path());
    QVERIFY(!saved);
    QVERIFY(saveCopy(target(), workPath("ok.dbb")));
    QCOMPARE(hashOf(workPath("ok.dbb")), hashOf(target()));
    // No file being written is left beside the backups.
    QCOMPARE(QDir(m_work->path())
                 .entryList({QStringLiteral("*.partial-*")}, QDir::Files | QDir::Hidden)
                 .size(),
             0);
}

QTEST_GUILESS_MAIN(TestConvert)
#include "tst_convert.moc"
