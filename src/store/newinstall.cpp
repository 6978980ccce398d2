#include "store/newinstall.h"

#include "store/connectiontext.h"
#include "store/filemodes.h"
#include "store/store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace zorbin::store {

namespace {

const QString kImages = QStringLiteral("images");
const QString kPicture = QStringLiteral("none.jpg");

void step(const CreationHook &hook, CreationStep s)
{
    if (hook)
        hook(s);
}

Result<void> removePartials(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    const QStringList left = dir.entryList(
        {name + QLatin1String(kPartialFileMark) + QLatin1Char('*')}, QDir::Files | QDir::System);
    for (const QString &file : left) {
        if (!QFile::remove(dir.filePath(file)))
            return failure(StoreError::Kind::Io, dir.filePath(file));
    }
    return {};
}

} // namespace

Result<void> makeNewInstallation(const QString &folder, const QByteArray &picture,
                                 const CreationHook &hook)
{
    const QDir dir(folder);
    if (auto made = makePrivateFolder(folder); !made)
        return made;
    if (auto made = makePrivateFolder(dir.filePath(kImages)); !made)
        return made;
    step(hook, CreationStep::FolderReady);

    const QString picturePath = QDir(dir.filePath(kImages)).filePath(kPicture);
    if (!QFileInfo::exists(picturePath)) {
        if (auto written = writePrivateFile(picturePath, picture); !written)
            return written;
    }
    step(hook, CreationStep::PictureInPlace);

    const QString target = dir.filePath(QString::fromLatin1(kDatabaseFileName));
    QTemporaryFile partial(target + QLatin1String(kPartialFileMark) + QStringLiteral("XXXXXX"));
    if (!partial.open())
        return failure(StoreError::Kind::Io, target + QStringLiteral(": ") + partial.errorString());
    partial.close(); // the engine takes the empty 0600 file for a new database
    step(hook, CreationStep::TemporaryFileMade);

    if (auto created = Store::createDatabase(partial.fileName()); !created)
        return created;
    step(hook, CreationStep::DatabaseWritten);

    partial.setAutoRemove(false);
    if (!partial.rename(target)) {
        const QString why = partial.errorString();
        partial.remove();
        return failure(StoreError::Kind::Io, target + QStringLiteral(": ") + why);
    }
    step(hook, CreationStep::DatabaseInPlace);
    return {};
}

Result<QString> recoverInterruptedCreation(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return QString();
    const QString name = QString::fromLatin1(kDatabaseFileName);
    if (auto removed = removePartials(folder, name); !removed)
        return std::unexpected(removed.error());
    if (auto removed = removePartials(QDir(folder).filePath(kImages), kPicture); !removed)
        return std::unexpected(removed.error());

    const QDir dir(folder);
    const QFileInfo database(dir.filePath(name));
    if (!database.isFile() || database.size() != 0)
        return QString();
    // The journal keeps its pairing with the file: the engine names it after the database.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = QStringLiteral("ZBDB-empty-%1.mdb").arg(stamp);
    for (int n = 2; QFileInfo::exists(dir.filePath(aside)); ++n)
        aside = QStringLiteral("ZBDB-empty-%1-%2.mdb").arg(stamp).arg(n);
    const QString journal = database.filePath() + QStringLiteral("-journal");
    if (QFileInfo::exists(journal) &&
        !QFile::rename(journal, dir.filePath(aside) + QStringLiteral("-journal")))
        return failure(StoreError::Kind::Io, journal);
    if (!QFile::rename(database.filePath(), dir.filePath(aside)))
        return failure(StoreError::Kind::Io, database.filePath());
    return aside;
}

} // namespace zorbin::store
