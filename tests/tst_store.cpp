#include "helpers/storetestcase.h"
#include "helpers/testfiles.h"
#include "helpers/teststore.h"
#include "store/connectiontext.h"
#include "store/datafolder.h"
#include "store/fold.h"
#include "store/messages.h"
#include "store/sitechecks.h"
#include "store/store.h"
#include "store/text.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <sqlite3.h>
#include <unistd.h>

using namespace zorbin::store;

namespace {

const QList<QByteArray> kFullSchema = {
    "CREATE TABLE Table_Site (ID INTEGER PRIMARY KEY AUTOINCREMENT, Onvan, Address, Mozoo, "
    "Email, Modir, Mobile, Yahoo, Facebook, \"User\", Pass, Tozihat, Gmail, Twitter, Google, Rss)",
    "CREATE TABLE Table_Category (ID INTEGER PRIMARY KEY AUTOINCREMENT, Category)",
    "CREATE TABLE Table_Contact (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name, \"Group\", Mobile, "
    "Home, Office, Email, Site, Job, Address, Image)",
    "CREATE TABLE Table_User (UserName, Password, Question, Answer)",
};

// The kind of the open's failure, or -1 when the file opened.
int openError(const QString &folder)
{
    const auto s = Store::open(connectionText(folder));
    return s ? -1 : int(s.error().kind);
}

QStringList titles(Store &store, const QVector<qint64> &ids)
{
    QStringList list;
    for (qint64 id : ids)
        list << store.site(id)->fields[Onvan];
    return list;
}

} // namespace

// Each test case gets a fresh data folder with its store.
class TstStore : public StoreTestCase
{
    Q_OBJECT
private Q_SLOTS:
    void connectionTextForms();
    void newInstallation();
    void cipherFileNeedsTheKey();
    void openErrors();
    void openErrors_data();
    void readOnlyFolder();
    void siteRoundTrip();
    void exactIdsAnd64Bit();
    void prefixSearch();
    void searchFolding();
    void searchLiteralCharacters();
    void categories();
    void usersInTableOrder();
    void trimmingBlanksOnly();
    void whereDataLives();
    void longUtf8SequencesInSearch();
    void folderThatCannotBeMade();
    void sitesAsTypedAndAsStored();
    void failuresInTheUsersWords();
};

void TstStore::whereDataLives()
{
    const bool wasSet = qEnvironmentVariableIsSet("ZORBIN_HOME");
    const QByteArray saved = qgetenv("ZORBIN_HOME");
    QTemporaryDir home;
    qputenv("ZORBIN_HOME", home.path().toUtf8());
    QCOMPARE(resolveDataFolder(), home.path());
    QCOMPARE(resolveSettingsFolder(), QDir(home.path()).filePath("settings"));

    qunsetenv("ZORBIN_HOME");
    QStandardPaths::setTestModeEnabled(true);
    const QString portable = QDir(QCoreApplication::applicationDirPath()).filePath("ZBDB.mdb");
    QVERIFY(!QFileInfo::exists(portable));
    QCOMPARE(resolveDataFolder(),
             QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    // A database beside the program makes a portable copy.
    {
        QFile f(portable);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QCOMPARE(resolveDataFolder(), QCoreApplication::applicationDirPath());
    QFile::remove(portable);
    QStandardPaths::setTestModeEnabled(false);
    if (wasSet)
        qputenv("ZORBIN_HOME", saved);
}

void TstStore::trimmingBlanksOnly()
{
    QCOMPARE(trimBlanks(QStringLiteral("  سایت  ")), QStringLiteral("سایت"));
    QCOMPARE(trimBlanks(QStringLiteral("   ")), QStringLiteral(""));
    // Notes keep their line breaks and tabs at either end.
    QCOMPARE(trimBlanks(QStringLiteral(" \tline\n ")), QStringLiteral("\tline\n"));

    // A quoted text is cut to its room with "…", never inside a character.
    QCOMPARE(shortened(QStringLiteral(" abc "), 5), QStringLiteral(" abc "));
    QCOMPARE(shortened(QStringLiteral("abcdef"), 5), QStringLiteral("abcd…"));
    const QString emoji = QStringLiteral("abc\U0001F600xyz");
    QCOMPARE(shortened(emoji, 5), QStringLiteral("abc…"));
    QCOMPARE(shortened(emoji, 6), QStringLiteral("abc\U0001F600…"));
}

void TstStore::connectionTextForms()
{
    const QString withSemicolon = connectionText(QStringLiteral("/data/z"));
    QCOMPARE(withSemicolon,
             QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/z/"
                            "ZBDB.mdb;Jet OLEDB:Database Password=$19!*85&=7^2046;"));
    const QString without = connectionText(QStringLiteral("/data/z"), false);
    QVERIFY(!without.endsWith(QLatin1Char(';')));
    for (const QString &text : {withSemicolon, without,
                                QStringLiteral(";;Provider=x;;Data Source=/data/z/ZBDB.mdb;;"
                                               "jet oledb:database password=$19!*85&=7^2046;;")}) {
        const auto info = parseConnectionText(text);
        QVERIFY(info);
        QCOMPARE(info->dataSource, QStringLiteral("/data/z/ZBDB.mdb"));
        QCOMPARE(info->password, QStringLiteral("$19!*85&=7^2046"));
    }
    QVERIFY(!parseConnectionText(QStringLiteral("Provider=x;Jet OLEDB:Database Password=y")));
}

void TstStore::newInstallation()
{
    TestStore &env = *m_env;
    QVERIFY(QFileInfo::exists(env.dir.filePath("ZBDB.mdb")));
    QVERIFY(QFileInfo(env.dir.filePath("images/none.jpg")).size() > 100);
    const auto users = env.store->users().value();
    QCOMPARE(users.size(), 1);
    QCOMPARE(users[0].userName, Store::defaultUserName());
    QCOMPARE(users[0].password.size(), 1);
    QCOMPARE(env.store->siteCount().value(), 0);
    QCOMPARE(env.store->categoryCount().value(), 0);
    QCOMPARE(env.store->contactCount().value(), 0);
    // A second open of the same folder finds the file and does not make a new one.
    env.addSite(QStringLiteral("kept"));
    env.store.reset();
    auto again = zorbin::store::openDataFolder(env.dir.path());
    QVERIFY2(again, again ? "" : qPrintable(again.error().detail));
    QCOMPARE((*again)->siteCount().value(), 1);
}

void TstStore::cipherFileNeedsTheKey()
{
    TestStore &env = *m_env;
    env.store.reset();
    const QString file = env.dir.filePath("ZBDB.mdb");
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(!f.read(16).startsWith("SQLite format 3"));
    f.close();

    const QString cli = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
    if (cli.isEmpty())
        QSKIP("the sqlcipher command-line client is not installed");
    QProcess p;
    p.start(cli, {file});
    QVERIFY(p.waitForStarted());
    p.write("PRAGMA key = '$19!*85&=7^2046';\n"
            "SELECT name FROM sqlite_master WHERE type='table' AND name LIKE 'Table_%' "
            "ORDER BY name;\nPRAGMA table_info(Table_Site);\n");
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(20000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    for (const char *t : {"Table_Category", "Table_Contact", "Table_Site", "Table_User"})
        QVERIFY2(out.contains(QLatin1String(t)), qPrintable(out));
    QVERIFY(out.contains(QStringLiteral("15|Rss|")));
    QVERIFY(out.contains(QStringLiteral("9|User|")));

    QProcess wrong;
    wrong.start(cli, {file});
    QVERIFY(wrong.waitForStarted());
    wrong.write("SELECT count(*) FROM sqlite_master;\n");
    wrong.closeWriteChannel();
    QVERIFY(wrong.waitForFinished(20000));
    QVERIFY(
        QString::fromUtf8(wrong.readAllStandardError()).contains(QLatin1String("not a database")));

    // Plain SQLite cannot read the file at all.
    const QString plain = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (plain.isEmpty())
        QSKIP("the sqlite3 command-line client is not installed");
    QProcess p3;
    p3.start(plain, {file, QStringLiteral(".tables")});
    QVERIFY(p3.waitForFinished(20000));
    QVERIFY(p3.readAllStandardOutput().trimmed().isEmpty());
    QVERIFY(QString::fromUtf8(p3.readAllStandardError()).contains(QLatin1String("not a database")));
}

void TstStore::openErrors_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("expected");
    QTest::newRow("wrong password") << 0 << int(StoreError::Kind::WrongPassword);
    QTest::newRow("plain sqlite") << 1 << int(StoreError::Kind::NotEncrypted);
    QTest::newRow("random bytes") << 2 << int(StoreError::Kind::WrongPassword);
    QTest::newRow("missing table") << 3 << int(StoreError::Kind::MissingTable);
    QTest::newRow("columns out of order") << 4 << int(StoreError::Kind::WrongColumns);
    QTest::newRow("previous version") << 5 << int(StoreError::Kind::OldFormat);
    QTest::newRow("empty file") << 6 << int(StoreError::Kind::WrongPassword);
}

void TstStore::openErrors()
{
    QFETCH(int, kind);
    QFETCH(int, expected);
    QTemporaryDir dir;
    const QString file = dir.filePath("ZBDB.mdb");
    const QByteArray key(kDatabasePassword);
    switch (kind) {
    case 0:
        makeDb(file, "another password", kFullSchema);
        break;
    case 1:
        makeDb(file, QByteArray(), kFullSchema);
        break;
    case 2: {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QByteArray junk(8192, '\0');
        for (int i = 0; i < junk.size(); ++i)
            junk[i] = char((i * 7919 + 13) & 0xFF);
        f.write(junk);
        break;
    }
    case 3:
        makeDb(file, key, kFullSchema.mid(0, 2) + kFullSchema.mid(3));
        break;
    case 4: {
        auto schema = kFullSchema;
        schema[1] = "CREATE TABLE Table_Category (Category, ID INTEGER PRIMARY KEY)";
        makeDb(file, key, schema);
        break;
    }
    case 5: {
        const QString jet = QStringLiteral(ZORBIN_TEST_DATA "/jet/zorbin-v1-sample.mdb");
        QVERIFY2(QFile::copy(jet, file), qPrintable(jet));
        break;
    }
    case 6: {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
        break;
    }
    }
    QCOMPARE(int(openError(dir.path())), expected);
    // Every failure has its own message, never an empty one.
    const auto opened = zorbin::store::openDataFolder(dir.path());
    QVERIFY(!opened);
    QVERIFY(!openErrorMessage(opened.error()).isEmpty());
}

void TstStore::readOnlyFolder()
{
    if (geteuid() == 0)
        QSKIP("permissions do not bind the root user");
    TestStore &env = *m_env;
    env.store.reset();
    QFile::setPermissions(env.dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const auto opened = zorbin::store::openDataFolder(env.dir.path());
    QVERIFY(!opened);
    QFile::setPermissions(env.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(openErrorMessage(opened.error()).contains(QStringLiteral("فقط‌خواندنی")));

    QTemporaryDir parent;
    QFile::setPermissions(parent.path(), QFile::ReadOwner | QFile::ExeOwner);
    QVERIFY(!zorbin::store::openDataFolder(parent.filePath("sub")));
    QFile::setPermissions(parent.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TstStore::siteRoundTrip()
{
    TestStore &env = *m_env;
    SiteRecord r;
    for (int i = 1; i < SiteFieldCount; ++i)
        r.fields[size_t(i)] = QStringLiteral("v%1 'quoted' ي ك").arg(i);
    r[Tozihat] = QString(10000, QChar(0x06A9));
    r[Gmail] = QString(); // NULL stays NULL
    r[Yahoo] = QStringLiteral("");
    const auto id = env.store->insertSite(r);
    QVERIFY(id);
    auto back = env.store->site(*id);
    QVERIFY(back);
    QCOMPARE(back->id, *id);
    for (int i = 1; i < SiteFieldCount; ++i)
        if (i != Gmail && i != Yahoo)
            QCOMPARE(back->fields[size_t(i)], r.fields[size_t(i)]);
    QVERIFY(back->fields[Gmail].isNull());
    QVERIFY(!back->fields[Yahoo].isNull());
    QVERIFY(back->fields[Yahoo].isEmpty());

    back->fields[Onvan] = QStringLiteral("changed");
    QVERIFY(env.store->updateSite(*back));
    QCOMPARE(env.store->site(*id)->fields[Onvan], QStringLiteral("changed"));
    QCOMPARE(env.store->siteTitleExists(QStringLiteral("changed")), true);
    QCOMPARE(env.store->siteTitleExists(QStringLiteral("Changed")), false);

    const auto row = env.store->siteListRow(*id);
    QVERIFY(row);
    QCOMPARE(row->texts[0], QStringLiteral("changed"));
    QCOMPARE(row->texts[6], r[Email]);

    QVERIFY(env.store->deleteSite(*id));
    // A record that has gone is told apart from a failing engine.
    QCOMPARE(env.store->site(*id).error().kind, StoreError::Kind::NotFound);
    QCOMPARE(env.store->siteListRow(*id).error().kind, StoreError::Kind::NotFound);
    const auto again = env.store->deleteSite(*id);
    QVERIFY(!again);
    QCOMPARE(again.error().kind, StoreError::Kind::NotFound);
    QVERIFY(!again.error().detail.isEmpty());
    // Each call answers for itself: a read of a lost table fails, the next call does not.
    QVERIFY(env.sql("DROP TABLE Table_Category"));
    const auto lost = env.store->categories();
    QVERIFY(!lost);
    QCOMPARE(lost.error().kind, StoreError::Kind::Engine);
    QVERIFY(lost.error().detail.contains(QStringLiteral("Table_Category")));
    QVERIFY(!env.store->category(1));
    QVERIFY(!env.store->categoryExists(QStringLiteral("x")).has_value());
    QCOMPARE(env.store->siteCount().value(), 0);
}

void TstStore::exactIdsAnd64Bit()
{
    TestStore &env = *m_env;
    QVERIFY(env.sql("INSERT INTO Table_Site(ID,Onvan) VALUES (1,'one'),(10,'ten'),"
                    "(12,'twelve'),(40001,'big'),(5000000000,'huge')"));
    QCOMPARE(env.store->site(1)->fields[Onvan], QStringLiteral("one"));
    QCOMPARE(env.store->site(40001)->fields[Onvan], QStringLiteral("big"));
    QCOMPARE(env.store->site(5000000000LL)->fields[Onvan], QStringLiteral("huge"));
    QVERIFY(env.store->deleteSite(1));
    QCOMPARE(env.store->siteIds().value(), (QVector<qint64>{10, 12, 40001, 5000000000LL}));
    // Sparse IDs come back in order from a search too.
    QVERIFY(env.sql("UPDATE Table_Site SET Onvan = 'same'"));
    QCOMPARE(env.store->searchSites(SearchColumn::Onvan, QStringLiteral("sa")).value(),
             (QVector<qint64>{10, 12, 40001, 5000000000LL}));
    // An ID is never reused after a delete.
    const auto next = env.addSite(QStringLiteral("next"));
    QCOMPARE(next, 5000000001LL);
}

void TstStore::prefixSearch()
{
    TestStore &env = *m_env;
    env.addSite(QStringLiteral("Google"), QStringLiteral("http://google.com"),
                QStringLiteral("search"), QStringLiteral("Larry"));
    env.addSite(QStringLiteral("GOLD price"), QStringLiteral("https://gold.ir"));
    env.addSite(QStringLiteral("my Google"), QStringLiteral("http://my.google"));
    env.addSite(QStringLiteral("go"), QStringLiteral("ftp://go"));
    env.addSite(QStringLiteral("گوگل"), QStringLiteral("http://fa.google"));
    Store &s = *env.store;
    QCOMPARE(titles(s, s.searchSites(SearchColumn::Onvan, QStringLiteral("go")).value()),
             (QStringList{"Google", "GOLD price", "go"}));
    QCOMPARE(titles(s, s.searchSites(SearchColumn::Onvan, QStringLiteral("goo")).value()),
             (QStringList{"Google"}));
    QCOMPARE(titles(s, s.searchSites(SearchColumn::Onvan, QStringLiteral("گو")).value()),
             (QStringList{"گوگل"}));
    QCOMPARE(s.searchSites(SearchColumn::Address, QStringLiteral("http://")).value().size(), 3);
    QCOMPARE(s.searchSites(SearchColumn::Address, QStringLiteral("HTTPS")).value().size(), 1);
    QCOMPARE(s.searchSites(SearchColumn::Mozoo, QStringLiteral("sea")).value().size(), 1);
    QCOMPARE(s.searchSites(SearchColumn::Modir, QStringLiteral("l")).value().size(), 1);
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QString()).value().size(), 5);
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("x")).value().size(), 0);
}

void TstStore::searchFolding()
{
    TestStore &env = *m_env;
    // Stored with the Arabic letters and Latin digits, as older data often is.
    const qint64 arabic = env.addSite(QStringLiteral("كتابخانه ملي"));
    const qint64 persian = env.addSite(QStringLiteral("کتاب فروشی"));
    const qint64 digits = env.addSite(QStringLiteral("0912 shop"));
    const qint64 persianDigits = env.addSite(QStringLiteral("۰۹۱۲ بازار"));
    const qint64 yeh = env.addSite(QStringLiteral("يادداشت"));
    Store &s = *env.store;
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("کتاب")).value(),
             (QVector<qint64>{arabic, persian}));
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("كتابخانه ملی")).value(),
             (QVector<qint64>{arabic}));
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("۰۹۱۲")).value(),
             (QVector<qint64>{digits, persianDigits}));
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("0912 S")).value(),
             (QVector<qint64>{digits}));
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("یاد")).value(),
             (QVector<qint64>{yeh}));
    // Many foldable letters: past the spellings asked of the index, the comparison still folds.
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("۰٩1۲ s")).value(),
             (QVector<qint64>{digits}));
    // Stored texts are left as they were.
    QCOMPARE(s.site(arabic)->fields[Onvan], QStringLiteral("كتابخانه ملي"));
}

void TstStore::searchLiteralCharacters()
{
    TestStore &env = *m_env;
    const qint64 quote = env.addSite(QStringLiteral("Rock'n roll"));
    const qint64 percent = env.addSite(QStringLiteral("100% free"));
    const qint64 underscore = env.addSite(QStringLiteral("a_b"));
    env.addSite(QStringLiteral("100 percent"));
    env.addSite(QStringLiteral("axb"));
    Store &s = *env.store;
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("Rock'")).value(),
             (QVector<qint64>{quote}));
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("100%")).value(),
             (QVector<qint64>{percent}));
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("a_")).value(),
             (QVector<qint64>{underscore}));
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("%")).value().size(), 0);
    // The index range for "x@" reaches up to "xA", which sorts as "xa": the comparison
    // must still leave out "x[" and "x_".
    const qint64 at = env.addSite(QStringLiteral("x@mail"));
    env.addSite(QStringLiteral("x[1]"));
    env.addSite(QStringLiteral("x_y"));
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("x@")).value(),
             (QVector<qint64>{at}));
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("X")).value().size(), 3);
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QString(10000, QLatin1Char('a'))).value().size(),
             0);
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("'; DROP TABLE Table_Site; --"))
                 .value()
                 .size(),
             0);
    QCOMPARE(s.siteCount().value(), 8);
    // A stored title of 10,000 characters is found by its prefix.
    const qint64 longOne = env.addSite(QString(10000, QChar(0x06CC)));
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QString(5000, QChar(0x064A))),
             (QVector<qint64>{longOne}));
}

void TstStore::categories()
{
    TestStore &env = *m_env;
    Store &s = *env.store;
    const auto a = s.addCategory(QStringLiteral("خبری"));
    const auto b = s.addCategory(QStringLiteral("News"));
    QVERIFY(a && b);
    QCOMPARE(s.categoryExists(QStringLiteral("News")), true);
    QCOMPARE(s.categoryExists(QStringLiteral("news")), false);
    QVERIFY(s.renameCategory(*b, QStringLiteral("Sport")));
    QCOMPARE(s.category(*b)->title, QStringLiteral("Sport"));
    QVERIFY(s.deleteCategory(*a));
    QCOMPARE(s.categories().value().size(), 1);
    QCOMPARE(s.categoryCount().value(), 1);
    QVERIFY(!s.renameCategory(*a, QStringLiteral("gone")));
}

void TstStore::usersInTableOrder()
{
    TestStore &env = *m_env;
    QVERIFY(env.sql("INSERT INTO Table_User VALUES ('zed','2','q','a'),"
                    "('ali','3',NULL,NULL)"));
    const auto users = env.store->users().value();
    QCOMPARE(users.size(), 3);
    QCOMPARE(users[1].userName, QStringLiteral("zed"));
    QCOMPARE(users[2].userName, QStringLiteral("ali"));
    QVERIFY(users[2].question.isNull());
}

void TstStore::longUtf8SequencesInSearch()
{
    // The zero-width non-joiner (three bytes in UTF-8) is common inside Persian titles;
    // signs outside the basic plane take four bytes. Both must pass through the folding
    // whole, and the letters after them must still fold.
    const QString zwnj(QChar(0x200C));
    const QString smile = QString::fromUcs4(U"\U0001F600");
    const QByteArray zwnjUtf8 = zwnj.toUtf8();
    const QByteArray smileUtf8 = smile.toUtf8();
    QCOMPARE(zwnjUtf8.size(), 3);
    QCOMPARE(smileUtf8.size(), 4);
    QCOMPARE(foldUtf8(zwnjUtf8), zwnjUtf8);
    QCOMPARE(foldUtf8(smileUtf8), smileUtf8);
    // Arabic yeh and kaf after them fold to the Persian forms.
    QCOMPARE(foldUtf8((zwnj + QChar(0x064A)).toUtf8()), (zwnj + QChar(0x06CC)).toUtf8());
    QCOMPARE(foldUtf8((smile + QChar(0x0643)).toUtf8()), (smile + QChar(0x06A9)).toUtf8());

    auto &env = *m_env;
    Store &s = *env.store;
    // Stored with Arabic yeh, searched with the Persian one.
    const qint64 joined = env.addSite(QStringLiteral("مي") + zwnj + QStringLiteral("خواهم"));
    const qint64 apart = env.addSite(QStringLiteral("ميخواهم"));
    const qint64 happy = env.addSite(smile + QStringLiteral(" ۱۲ شاد"));
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("می") + zwnj).value(),
             (QVector<qint64>{joined}));
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("می") + zwnj + QStringLiteral("خ"))
                 .value(),
             (QVector<qint64>{joined}));
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QStringLiteral("میخ")).value(),
             (QVector<qint64>{apart}));
    QCOMPARE(s.searchSites(SearchColumn::Onvan, smile + QStringLiteral(" 12")).value(),
             (QVector<qint64>{happy}));
    QCOMPARE(s.searchSites(SearchColumn::Onvan, QString::fromUcs4(U"\U0001F601")).value(),
             QVector<qint64>());
}

void TstStore::folderThatCannotBeMade()
{
    // A folder below a plain file cannot be made, not even by the root user.
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("plain")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString folder = dir.filePath(QStringLiteral("plain/data"));
    const auto opened = openDataFolder(folder);
    QVERIFY(!opened);
    const QString message = openErrorMessage(opened.error());
    QCOMPARE(message, openErrorMessage({StoreError::Kind::CannotCreate, folder}));
    QVERIFY(message.contains(folder));
    QVERIFY(!QFileInfo::exists(folder));
}

void TstStore::sitesAsTypedAndAsStored()
{
    SiteRecord typed;
    typed[Onvan] = QStringLiteral("  ");
    typed[Address] = QStringLiteral("http://");
    typed[Mozoo] = QStringLiteral("news");
    // What is typed counts: blanks fill a starred field.
    QVERIFY(hasStarredFields(typed));
    for (SiteField f : {Onvan, Address, Mozoo}) {
        SiteRecord missing = typed;
        missing[f] = QString();
        QVERIFY2(!hasStarredFields(missing), qPrintable(siteColumns()[f]));
    }
    typed[Tozihat] = QStringLiteral(" line one\r\nline two\t ");
    const SiteRecord stored = storedForm(typed);
    QCOMPARE(stored[Onvan], QStringLiteral(""));
    QCOMPARE(stored[Tozihat], QStringLiteral("line one\r\nline two\t"));
    // No field is stored as NULL.
    for (int f = 1; f < SiteFieldCount; ++f)
        QVERIFY(!stored.fields[size_t(f)].isNull());
}

void TstStore::failuresInTheUsersWords()
{
    const QString what = QStringLiteral("سايت حذف نشد.");
    QCOMPARE(userMessage(what, {StoreError::Kind::Engine, QStringLiteral("disk I/O error")}),
             what + QStringLiteral("\r\ndisk I/O error"));
    QCOMPARE(userMessage(what, {StoreError::Kind::Busy, QString()}), what);
    // The engine's own words reach the user.
    auto &env = *m_env;
    QVERIFY(env.sql("DROP TABLE Table_Site"));
    const auto count = env.store->siteCount();
    QVERIFY(!count);
    QVERIFY(userMessage(what, count.error()).endsWith(QStringLiteral("no such table: Table_Site")));
}

QTEST_GUILESS_MAIN(TstStore)
#include "tst_store.moc"
