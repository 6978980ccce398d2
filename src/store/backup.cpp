// Backup and restore of the whole database file.
#include "store/connectiontext.h"
#include "store/engineerror.h"
#include "store/filemodes.h"
#include "store/sqlite.h"
#include "store/store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <sqlite3.h>

namespace zorbin::store {

namespace {

const QString kDamagedBackup = QStringLiteral("فايل پشتيبان آسيب ديده است.\r\n");

std::unexpected<StoreError> ioFailure(const QString &detail)
{
    return failure(StoreError::Kind::Io, detail);
}

// Copies the open database `source` into the empty file `path` through SQLite's online
// backup, which keeps the copy consistent; with `working`, a block of pages at a time and a
// call to it after each block.
Result<void> onlineCopy(sqlite3 *source, const QString &path, const std::function<void()> &working)
{
    sqlite3 *dest = nullptr;
    const QByteArray file = QFile::encodeName(path);
    auto engineWords = [&](sqlite3 *db) {
        return QStringLiteral("cannot write ") + QDir::toNativeSeparators(path) +
               QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db));
    };
    if (sqlite3_open_v2(file.constData(), &dest, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const QString words = engineWords(dest);
        sqlite3_close(dest);
        return ioFailure(words);
    }
    const QByteArray key(kDatabasePassword);
    if (sqlite3_key(dest, key.constData(), int(key.size())) != SQLITE_OK) {
        const QString words = engineWords(dest);
        sqlite3_close(dest);
        return ioFailure(words);
    }
    sqlite3_backup *backup = sqlite3_backup_init(dest, "main", source, "main");
    if (!backup) {
        const QString words = engineWords(dest);
        sqlite3_close(dest);
        return ioFailure(words);
    }
    int rc = SQLITE_OK;
    while ((rc = sqlite3_backup_step(backup, working ? 256 : -1)) == SQLITE_OK)
        working();
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        const QString words = QStringLiteral("cannot write ") + QDir::toNativeSeparators(path) +
                              QStringLiteral(": ") + QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(dest);
        return ioFailure(words);
    }
    if (sqlite3_close(dest) != SQLITE_OK)
        return ioFailure(QStringLiteral("cannot close ") + QDir::toNativeSeparators(path));
    return {};
}

int callWorking(void *working)
{
    (*static_cast<const std::function<void()> *>(working))();
    return 0;
}

// Reads every page of the open database `db` through SQLite's quick check: a page that no
// longer decrypts or a broken tree is found here, not by a later search. Returns the
// engine's first findings when something is wrong, nothing when all is well.
std::optional<QString> damage(sqlite3 *db, const std::function<void()> &working)
{
    if (working)
        sqlite3_progress_handler(db, 10000, callWorking,
                                 const_cast<std::function<void()> *>(&working));
    QStringList findings;
    int rc = SQLITE_OK;
    {
        Statement check(db, "PRAGMA quick_check(3)");
        if (!check.ok())
            findings << QString::fromUtf8(sqlite3_errmsg(db));
        while (check.ok() && (rc = check.step()) == SQLITE_ROW)
            findings << check.text(0);
        if (check.ok() && rc != SQLITE_DONE)
            findings << QString::fromUtf8(sqlite3_errmsg(db));
    }
    if (working)
        sqlite3_progress_handler(db, 0, nullptr, nullptr);
    if (findings == QStringList{QStringLiteral("ok")})
        return std::nullopt;
    findings.removeAll(QStringLiteral("ok"));
    return findings.join(QStringLiteral("\r\n"));
}

// Copies the file at `from` into the existing file `to`, byte for byte, calling `working`
// after each megabyte.
Result<void> copyBytes(const QString &from, const QString &to, const std::function<void()> &working)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return ioFailure(QStringLiteral("cannot read ") + QDir::toNativeSeparators(from) +
                         QStringLiteral(": ") + in.errorString());
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return ioFailure(QStringLiteral("cannot write ") + QDir::toNativeSeparators(to) +
                         QStringLiteral(": ") + out.errorString());
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        if (out.write(chunk) != chunk.size())
            return ioFailure(QStringLiteral("cannot write ") + QDir::toNativeSeparators(to) +
                             QStringLiteral(": ") + out.errorString());
        if (working)
            working();
    }
    if (in.error() != QFileDevice::NoError)
        return ioFailure(QStringLiteral("cannot read ") + QDir::toNativeSeparators(from) +
                         QStringLiteral(": ") + in.errorString());
    if (!out.flush())
        return ioFailure(QStringLiteral("cannot write ") + QDir::toNativeSeparators(to) +
                         QStringLiteral(": ") + out.errorString());
    return {};
}

// A name for the safety copy that no file holds yet: ZBDB-before-restore-<date>-<time>.dbb.
QString safetyCopyPath(const QString &databasePath)
{
    const QDir folder = QFileInfo(databasePath).absoluteDir();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = QStringLiteral("ZBDB-before-restore-") + stamp + QStringLiteral(".dbb");
    for (int n = 2; QFileInfo::exists(folder.filePath(name)); ++n)
        name = QStringLiteral("ZBDB-before-restore-%1-%2.dbb").arg(stamp).arg(n);
    return folder.filePath(name);
}

// Writes a consistent copy of the open database `db` (the file `databasePath`) to `path`
// through a temporary file beside it.
Result<void> backupCopy(sqlite3 *db, const QString &databasePath, const QString &path,
                        const std::function<void()> &working)
{
    if (path.isEmpty())
        return ioFailure(QStringLiteral("backup: no file name"));
    if (QFileInfo(path).isDir())
        return ioFailure(QStringLiteral("backup: a folder is in the way: ") +
                         QDir::toNativeSeparators(path));
    // Replacing the open database file would leave this connection writing to a file
    // that no longer has a name: later changes would be lost.
    const QString existing = QFileInfo(path).canonicalFilePath();
    if (!existing.isEmpty() && existing == QFileInfo(databasePath).canonicalFilePath())
        return ioFailure(QStringLiteral("backup: the database cannot be its own backup: ") +
                         QDir::toNativeSeparators(path));
    auto temp = createPrivateTemp(path);
    if (!temp)
        return std::unexpected(temp.error());
    auto done = onlineCopy(db, *temp, working);
    if (done)
        done = syncFile(*temp);
    if (done)
        done = renameOver(*temp, path);
    if (!done) {
        removeDatabaseTemp(*temp);
        return std::unexpected(done.error());
    }
    return std::expected<void, StoreError>();
}

} // namespace

Result<void> Store::backupTo(const QString &path)
{
    return backupCopy(m_db, m_path, path, {});
}

Result<RestoreDone> Store::restoreFrom(const QString &backupPath,
                                       const std::function<void()> &working)
{
    const QFileInfo source(backupPath);
    if (backupPath.isEmpty() || !source.exists())
        return failure(StoreError::Kind::NotFound, QStringLiteral("restore: no file at ") +
                                                       QDir::toNativeSeparators(backupPath));
    if (!source.isFile())
        return ioFailure(QStringLiteral("restore: not a file: ") +
                         QDir::toNativeSeparators(backupPath));

    // The backup is copied beside the database and checked there, so the chosen file is
    // never changed and the check sees exactly what will be put in place.
    auto temp = createPrivateTemp(m_path);
    if (!temp)
        return std::unexpected(temp.error());
    if (auto copied = copyBytes(backupPath, *temp, working); !copied) {
        removeDatabaseTemp(*temp);
        return std::unexpected(copied.error());
    }
    {
        const QString text = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                             *temp + QStringLiteral(";Jet OLEDB:Database Password=") +
                             QString::fromLatin1(kDatabasePassword) + QLatin1Char(';');
        auto candidate = Store::open(text);
        if (!candidate) {
            removeDatabaseTemp(*temp);
            return std::unexpected(candidate.error()); // not a Zorbin database: why
        }
        // The tables being there says nothing of the pages behind them: a file damaged
        // inside would open, and every search in it would fail later.
        if (const auto damaged = damage((*candidate)->m_db, working)) {
            candidate->reset();
            removeDatabaseTemp(*temp);
            return failure(StoreError::Kind::NotOpened, kDamagedBackup + *damaged);
        }
    }
    if (auto synced = syncFile(*temp); !synced) {
        removeDatabaseTemp(*temp);
        return std::unexpected(synced.error());
    }

    // The data being replaced stays beside it, as a consistent copy restorable later.
    RestoreDone done{safetyCopyPath(m_path)};
    if (auto kept = backupCopy(m_db, m_path, done.safetyCopy, working); !kept) {
        removeDatabaseTemp(*temp);
        return std::unexpected(kept.error());
    }
    if (auto placed = renameOver(*temp, m_path); !placed) {
        removeDatabaseTemp(*temp);
        return std::unexpected(placed.error());
    }
    return done;
}

} // namespace zorbin::store
