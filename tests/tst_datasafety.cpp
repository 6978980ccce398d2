// What keeps the user's data safe and the program startable: private modes, a first start
// that survives being killed, the start lock, a busy database, missing indexes, any path.

#include "helpers/testfiles.h"
#include "helpers/teststore.h"
#include "store/connectiontext.h"
#include "store/datafolder.h"
#include "store/filemodes.h"
#include "store/instancelock.h"
#include "store/messages.h"
#include "store/newinstall.h"
#include "store/settings.h"
#include "store/store.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <atomic>
#include <csignal>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace zorbin::store;

namespace {

// Sets the umask for one scope.
class Umask
{
public:
    explicit Umask(mode_t mask) : m_saved(::umask(mask)) {}
    ~Umask() { ::umask(m_saved); }

private:
    mode_t m_saved;
};

// Sets an environment variable for one scope.
class EnvVar
{
public:
    EnvVar(const char *name, const QByteArray &value)
        : m_name(name), m_wasSet(qEnvironmentVariableIsSet(name)), m_saved(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvVar()
    {
        if (m_wasSet)
            qputenv(m_name, m_saved);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_wasSet;
    QByteArray m_saved;
};

QStringList partialsIn(const QString &folder)
{
    QStringList found;
    for (const QString &sub : {QString(), QStringLiteral("images")}) {
        const QDir dir(QDir(folder).filePath(sub));
        for (const QString &name : dir.entryList(QDir::Files))
            if (name.contains(QLatin1String(kPartialFileMark)))
                found << name;
    }
    return found;
}

// The folder opens as a complete installation: the default account and the picture.
void expectCompleteInstallation(const QString &folder)
{
    auto opened = openDataFolder(folder);
    QVERIFY2(opened, opened ? "" : qPrintable(openErrorMessage(opened.error())));
    auto &store = *opened;
    const auto users = store->users().value();
    QCOMPARE(users.size(), 1);
    QCOMPARE(users[0].userName, Store::defaultUserName());
    QVERIFY(QFileInfo(QDir(folder).filePath("images/none.jpg")).size() > 100);
    QCOMPARE(partialsIn(folder), QStringList());
}

QString zorbinBinary()
{
    return qEnvironmentVariable("ZORBIN_BIN");
}

QProcessEnvironment childEnvironment(const QString &home, const QString &runtime)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZORBIN_HOME"), home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

} // namespace

class TstDataSafety : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Secrets stay the user's
    void newInstallationIsPrivate();
    void settingsArePrivateButSharedFilesStayShared();
    void streamedFileWholeOrNotAtAll();
    // A first start that is interrupted
    void creationInterruptedAtEveryStep();
    void killedFirstStartStillStarts();
    void emptyDatabaseIsSetAside();
    // One copy per data folder
    void lockPlaceAndKey();
    void staleAndForeignLocks();
    void lockOfARunningAndAKilledProgram();
    // A database in use by another program
    void secondWriterIsWaitedFor();
    // Indexes
    void listsWithoutTheIndex();
    // Any data folder
    void pathWithSemicolon();
    void folderNamedLikeTheDatabase();
};

void TstDataSafety::newInstallationIsPrivate()
{
    Umask mask(022);
    QTemporaryDir root;
    const QString folder = root.filePath("home/data");
    auto store = openDataFolder(folder);
    QVERIFY(store);
    QCOMPARE(fileMode(root.filePath("home")), 0700);
    QCOMPARE(fileMode(folder), 0700);
    QCOMPARE(fileMode(folder + "/images"), 0700);
    QCOMPARE(fileMode(folder + "/ZBDB.mdb"), 0600);
    QCOMPARE(fileMode(folder + "/images/none.jpg"), 0600);
    // The journal of a write takes the database's mode.
    RawDb raw(folder);
    QVERIFY(raw.exec("BEGIN"));
    QVERIFY(raw.exec("INSERT INTO Table_Category (Category) VALUES ('x')"));
    QCOMPARE(fileMode(folder + "/ZBDB.mdb-journal"), 0600);
    QVERIFY(raw.exec("ROLLBACK"));
}

void TstDataSafety::settingsArePrivateButSharedFilesStayShared()
{
    Umask mask(022);
    QTemporaryDir root;
    Settings settings(root.filePath("config/Zorbin"));
    QVERIFY(settings.setValue("SavePass", "SettingForm", "SavePass", "secret"));
    QCOMPARE(fileMode(root.filePath("config")), 0700);
    QCOMPARE(fileMode(root.filePath("config/Zorbin")), 0700);
    QCOMPARE(fileMode(root.filePath("config/Zorbin/SavePass.ini")), 0600);
    // A rewrite keeps the mode; so does a file the user made readable to others.
    QVERIFY(settings.setValue("SavePass", "SettingForm", "SavePass", "other"));
    QCOMPARE(fileMode(root.filePath("config/Zorbin/SavePass.ini")), 0600);
    QCOMPARE(settings.value("SavePass", "SettingForm", "SavePass"), QStringLiteral("other"));
    const QString shared = root.filePath("config/Zorbin/CheckNet.ini");
    {
        QFile f(shared);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(QFile::setPermissions(shared, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther));
    QVERIFY(settings.setValue("CheckNet", "SettingForm", "CheckNet", "1"));
    QCOMPARE(fileMode(shared), 0644);
    QCOMPARE(settings.value("CheckNet", "SettingForm", "CheckNet"), QStringLiteral("1"));
}

void TstDataSafety::creationInterruptedAtEveryStep()
{
    const CreationStep steps[] = {CreationStep::FolderReady, CreationStep::PictureInPlace,
                                  CreationStep::TemporaryFileMade, CreationStep::DatabaseWritten,
                                  CreationStep::DatabaseInPlace};
    for (const CreationStep stop : steps) {
        QTemporaryDir root;
        const QString folder = root.filePath("data");
        // A child process makes the installation and ends abruptly after the step, leaving
        // the files as a crash there would.
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            const auto made =
                makeNewInstallation(folder, QByteArray(4096, 'j'), [stop](CreationStep s) {
                    if (s == stop)
                        ::_exit(7);
                });
            ::_exit(made ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 7);
        if (stop < CreationStep::DatabaseInPlace)
            QVERIFY2(!QFileInfo::exists(folder + "/ZBDB.mdb"),
                     "the database appeared before it was complete");
        expectCompleteInstallation(folder);
        if (QTest::currentTestFailed())
            return;
    }
}

void TstDataSafety::killedFirstStartStillStarts()
{
    if (zorbinBinary().isEmpty())
        QSKIP("ZORBIN_BIN is not set");
    QTemporaryDir runtime;
    // Killed while the files are being made, at a spread of moments.
    for (int attempt = 0; attempt < 12; ++attempt) {
        QTemporaryDir home;
        QProcess child;
        child.setProcessEnvironment(childEnvironment(home.path(), runtime.path()));
        child.start(zorbinBinary(), {});
        QVERIFY(child.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        const QDir dir(home.path());
        while (dir.entryList({QStringLiteral("ZBDB*")}, QDir::Files).isEmpty() &&
               waited.elapsed() < 10000)
            ::usleep(200);
        ::usleep(useconds_t(QRandomGenerator::global()->bounded(25000)));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
        expectCompleteInstallation(home.path());
        if (QTest::currentTestFailed())
            return;
    }
}

void TstDataSafety::emptyDatabaseIsSetAside()
{
    QTemporaryDir home;
    const QDir dir(home.path());
    QVERIFY(dir.mkpath("images"));
    for (const QString &name : {QStringLiteral("ZBDB.mdb"), QStringLiteral("ZBDB.mdb-journal"),
                                QStringLiteral("ZBDB.mdb.partial-abc123"),
                                QStringLiteral("ZBDB.mdb.partial-abc123-journal"),
                                QStringLiteral("images/none.jpg.partial-xyz")}) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (name.endsWith("journal"))
            f.write(QByteArray(512, 'x'));
    }
    expectCompleteInstallation(home.path());
    const QStringList aside = dir.entryList({QStringLiteral("ZBDB-empty-*")}, QDir::Files);
    QCOMPARE(aside.size(), 2);
    QVERIFY(aside[0].endsWith(".mdb"));
    QCOMPARE(aside[1], aside[0] + "-journal");
    QCOMPARE(QFileInfo(dir.filePath(aside[0])).size(), 0);
    QVERIFY(!QFileInfo::exists(dir.filePath("ZBDB.mdb-journal")));
    // A database that holds data is never set aside.
    const auto again = recoverInterruptedCreation(home.path());
    QVERIFY(again);
    QCOMPARE(*again, QString());
    QVERIFY(QFileInfo(dir.filePath("ZBDB.mdb")).size() > 0);
}

void TstDataSafety::lockPlaceAndKey()
{
    QTemporaryDir runtime, root;
    QVERIFY(QDir(root.path()).mkpath("data"));
    const QString folder = root.filePath("data");
    QVERIFY(QFile::link(folder, root.filePath("link")));
    {
        EnvVar xdg("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        const QString path = instanceLockPath(folder);
        QCOMPARE(QFileInfo(path).path(), runtime.path());
        // A symbolic link to the same folder finds the same lock; another folder does not.
        QCOMPARE(instanceLockPath(root.filePath("link")), path);
        QCOMPARE(instanceLockPath(root.filePath("data/")), path);
        QVERIFY(instanceLockPath(root.path()) != path);
        auto held = acquireInstanceLock(folder);
        QVERIFY(held && *held);
        auto second = acquireInstanceLock(root.filePath("link"));
        QVERIFY(second);
        QVERIFY2(!*second, "a second copy ran on the same folder through a link");
    }
    {
        EnvVar xdg("XDG_RUNTIME_DIR", QByteArray());
        QCOMPARE(QFileInfo(instanceLockPath(folder)).path(), folder);
    }
    // A runtime folder others may write in is not used.
    QVERIFY(QFile::setPermissions(runtime.path(), QFileDevice::Permissions(0x7777)));
    {
        EnvVar xdg("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        QCOMPARE(QFileInfo(instanceLockPath(folder)).path(), folder);
    }
}

void TstDataSafety::staleAndForeignLocks()
{
    QTemporaryDir runtime, data;
    EnvVar xdg("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    const QString path = instanceLockPath(data.path());
    const QByteArray contents[] = {QByteArray(), QByteArray("not a lock\n"),
                                   QByteArray("\xff\xfe\x00garbage", 11),
                                   QByteArray("0\nZorbin\nhost\n")};
    for (const QByteArray &content : contents) {
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(content);
        }
        auto lock = acquireInstanceLock(data.path());
        QVERIFY(lock);
        QVERIFY2(*lock, "a lock whose content names no process stopped the start");
        (*lock)->unlock();
    }
    // A file another account left, which this one cannot read.
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("garbage");
    }
    QVERIFY(QFile::setPermissions(path, {}));
    auto lock = acquireInstanceLock(data.path());
    QVERIFY(lock);
    QVERIFY2(*lock, "an unreadable lock stopped the start");
    // The lock is not in the shared temporary folder, where other users can make it.
    QVERIFY(!path.startsWith(QDir::tempPath() + "/zorbin"));
}

void TstDataSafety::lockOfARunningAndAKilledProgram()
{
    if (zorbinBinary().isEmpty())
        QSKIP("ZORBIN_BIN is not set");
    QTemporaryDir runtime, home;
    EnvVar xdg("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    QProcess running;
    running.setProcessEnvironment(childEnvironment(home.path(), runtime.path()));
    running.start(zorbinBinary(), {});
    QVERIFY(running.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(instanceLockPath(home.path())), 10000);
    // A second copy, of the program itself, ends at once without touching anything.
    QProcess second;
    second.setProcessEnvironment(running.processEnvironment());
    second.start(zorbinBinary(), {});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    {
        auto lock = acquireInstanceLock(home.path());
        QVERIFY(lock);
        QVERIFY2(!*lock, "the lock of a running copy was taken over");
    }
    ::kill(pid_t(running.processId()), SIGKILL);
    QVERIFY(running.waitForFinished());
    auto lock = acquireInstanceLock(home.path());
    QVERIFY(lock);
    QVERIFY2(*lock, "the lock of a killed copy stopped the start");
}

void TstDataSafety::secondWriterIsWaitedFor()
{
    TestStore env;
    QVERIFY(env.ok());
    env.addSite(QStringLiteral("first"));
    env.store.reset();
    const QByteArray file = QFile::encodeName(env.dir.filePath("ZBDB.mdb"));
    std::atomic<bool> holding{false};
    std::atomic<int> writerResult{-1};
    // Another program holds a write transaction for a moment.
    std::thread writer([&] {
        sqlite3 *db = nullptr;
        sqlite3_open(file.constData(), &db);
        sqlite3_key(db, kDatabasePassword, int(sizeof kDatabasePassword - 1));
        int rc =
            sqlite3_exec(db, "BEGIN EXCLUSIVE; INSERT INTO Table_Site (Onvan) VALUES ('second')",
                         nullptr, nullptr, nullptr);
        holding = true;
        ::usleep(600000);
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        writerResult = rc;
        sqlite3_close(db);
    });
    while (!holding)
        ::usleep(1000);
    auto store = Store::open(connectionText(env.dir.path()));
    writer.join();
    QCOMPARE(writerResult.load(), SQLITE_OK);
    QVERIFY2(store, store ? "" : qPrintable(store.error().detail));
    QCOMPARE((*store)->siteCount().value(), 2);
}

void TstDataSafety::listsWithoutTheIndex()
{
    TestStore env;
    QVERIFY(env.ok());
    const qint64 a = env.addSite(QStringLiteral("alpha"), "http://a.ir", "news", "boss");
    const qint64 b = env.addSite(QStringLiteral("beta"), "http://b.ir", "news", "boss");
    zorbin::store::ContactRecord contact;
    contact.name = QStringLiteral("Sara");
    contact.mobile = QStringLiteral("0912");
    const qint64 c = env.store->insertContact(contact).value();
    // A file made elsewhere lacks the indexes; something else under three of their names
    // keeps those from being made again.
    env.store.reset();
    {
        RawDb raw(env.dir.path());
        for (const char *sql :
             {"DROP INDEX Site_ID", "DROP INDEX Site_Onvan", "DROP INDEX Site_Address",
              "DROP INDEX Site_Mozoo", "DROP INDEX Site_Modir", "CREATE TABLE Site_ID (x)",
              "CREATE VIEW Site_Onvan AS SELECT 1", "DROP INDEX Contact_ID",
              "CREATE TABLE Contact_ID (x)"})
            QVERIFY2(raw.exec(sql), sql);
    }
    auto store = openDataFolder(env.dir.path()).value_or(nullptr);
    QVERIFY(store);
    QVERIFY2(store->indexProblem().contains("Site_ID"), qPrintable(store->indexProblem()));
    const auto ids = store->siteIds();
    QVERIFY2(ids, qPrintable(ids ? QString() : ids.error().detail));
    QCOMPARE(*ids, (QVector<qint64>{a, b}));
    QCOMPARE(store->siteCount().value(), 2);
    QCOMPARE(store->searchSites(SearchColumn::Onvan, QStringLiteral("be")).value(),
             QVector<qint64>{b});
    QCOMPARE(store->searchSites(SearchColumn::Modir, QStringLiteral("bo")).value(),
             (QVector<qint64>{a, b}));
    QCOMPARE(store->contactIds().value(), QVector<qint64>{c});
    // Once the name is free, the next open adds what is missing.
    store.reset();
    RawDb raw(env.dir.path());
    QVERIFY(raw.exec("DROP TABLE Site_ID"));
    QVERIFY(raw.exec("DROP VIEW Site_Onvan"));
    QVERIFY(raw.exec("DROP TABLE Contact_ID"));
    store = openDataFolder(env.dir.path()).value_or(nullptr);
    QVERIFY(store);
    QVERIFY2(store->indexProblem().isEmpty(), qPrintable(store->indexProblem()));
    QVERIFY(store->ensureIndexes());
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(
        raw.handle(),
        "SELECT count(*) FROM sqlite_master WHERE type='index' AND name LIKE 'Site_%'", -1, &st,
        nullptr);
    QCOMPARE(sqlite3_step(st), SQLITE_ROW);
    QCOMPARE(sqlite3_column_int(st, 0), 5);
    sqlite3_finalize(st);
}

void TstDataSafety::pathWithSemicolon()
{
    QTemporaryDir root;
    for (const QString &name : {QStringLiteral("a;b"), QStringLiteral("\"q;x=1"),
                                QStringLiteral("'single"), QStringLiteral(";Data Source=x;")}) {
        const QString folder = root.filePath(name);
        const auto info = parseConnectionText(connectionText(folder));
        QVERIFY(info);
        QCOMPARE(info->dataSource, QDir(folder).filePath("ZBDB.mdb"));
        QCOMPARE(info->password, QString::fromLatin1(kDatabasePassword));
        auto store = openDataFolder(folder).value_or(nullptr);
        QVERIFY2(store, qPrintable(name));
        QCOMPARE(store->users().value().size(), 1);
        store.reset();
        QVERIFY2(openDataFolder(folder), qPrintable(name));
    }
}

void TstDataSafety::folderNamedLikeTheDatabase()
{
    QTemporaryDir home;
    QVERIFY(QDir(home.path()).mkdir("ZBDB.mdb"));
    const auto opened = openDataFolder(home.path());
    QVERIFY(!opened);
    const QString message = openErrorMessage(opened.error());
    QCOMPARE(message, openErrorMessage(
                          {StoreError::Kind::IsFolder, QDir(home.path()).filePath("ZBDB.mdb")}));
    QVERIFY(!message.contains(QStringLiteral("اجازه")));
    QVERIFY(QFileInfo(QDir(home.path()).filePath("ZBDB.mdb")).isDir());
}

// A file written in pieces appears only whole, private, and nothing is left of one given up.
void TstDataSafety::streamedFileWholeOrNotAtAll()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    const QByteArray piece(100 * 1024, 'x');
    {
        PrivateFileWriter given(path);
        QVERIFY(given.open());
        for (int i = 0; i < 5; ++i)
            QVERIFY(given.append(piece));
        QVERIFY(!QFile::exists(path)); // not in place before it is whole
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    PrivateFileWriter writer(path);
    QVERIFY(writer.open());
    for (int i = 0; i < 5; ++i)
        QVERIFY(writer.append(piece));
    QVERIFY(writer.commit());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), piece.repeated(5));
    QCOMPARE(fileMode(path), 0600);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

QTEST_GUILESS_MAIN(TstDataSafety)
#include "tst_datasafety.moc"
