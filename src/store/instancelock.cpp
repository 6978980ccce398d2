#include "store/instancelock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <sys/stat.h>
#include <unistd.h>

namespace zorbin::store {

namespace {

// $XDG_RUNTIME_DIR when it is a folder of this user that no one else may write in.
QString privateRuntimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || !QDir::isAbsolutePath(runtime))
        return QString();
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(runtime).constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != ::geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return QString();
    return runtime;
}

} // namespace

QString instanceLockPath(const QString &dataFolder)
{
    QString canonical = QFileInfo(dataFolder).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QDir(dataFolder).absolutePath();
    const QByteArray key =
        QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha256)
            .toHex()
            .left(32);
    const QString name = QStringLiteral("zorbin-%1.lock").arg(QString::fromLatin1(key));
    if (const QString runtime = privateRuntimeFolder(); !runtime.isEmpty())
        return QDir(runtime).filePath(name);
    return QDir(canonical).filePath(QStringLiteral(".zorbin.lock"));
}

Result<std::unique_ptr<QLockFile>> acquireInstanceLock(const QString &dataFolder)
{
    const QString path = instanceLockPath(dataFolder);
    auto lock = std::make_unique<QLockFile>(path);
    // Staleness is decided by the holder's process, never by the lock's age.
    lock->setStaleLockTime(0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (lock->tryLock(0))
            return lock;
        if (lock->error() != QLockFile::LockFailedError)
            return failure(StoreError::Kind::Io, path);
        qint64 pid = 0;
        QString host, application;
        // QLockFile itself takes over a lock whose process is gone; one that names no
        // process cannot belong to a running copy.
        if (lock->getLockInfo(&pid, &host, &application))
            return std::unique_ptr<QLockFile>();
        // Another copy starting this very moment may not have written its lock yet.
        QThread::msleep(100);
        if (lock->getLockInfo(&pid, &host, &application))
            return std::unique_ptr<QLockFile>();
        if (!lock->removeStaleLockFile())
            return failure(StoreError::Kind::Io, path);
    }
    return std::unique_ptr<QLockFile>();
}

} // namespace zorbin::store
