#include "store/privatefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorbin::store {

namespace {

QString systemError(const QString &what, const QString &path)
{
    return what + QStringLiteral(" ") + QDir::toNativeSeparators(path) + QStringLiteral(": ") +
           QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

std::expected<QString, QString> createPrivateTemp(const QString &finalPath)
{
    const QFileInfo info(finalPath);
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isDir())
        return std::unexpected(QStringLiteral("folder does not exist: ") +
                               QDir::toNativeSeparators(folder));
    // QTemporaryFile makes its files 0600 with O_EXCL, never following a planted link.
    // A short fixed name: the final name may already be as long as a name can be.
    QTemporaryFile temp(QDir(folder).filePath(QStringLiteral(".zorbin-XXXXXX.part")));
    temp.setAutoRemove(false);
    if (!temp.open())
        return std::unexpected(QStringLiteral("cannot create a file in ") +
                               QDir::toNativeSeparators(folder) + QStringLiteral(": ") +
                               temp.errorString());
    const QString name = temp.fileName();
    temp.close();
    return name;
}

std::expected<void, QString> syncFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::unexpected(systemError(QStringLiteral("cannot open"), path));
    const bool ok = ::fsync(fd) == 0;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    if (!ok)
        return std::unexpected(systemError(QStringLiteral("cannot write"), path));
    return {};
}

std::expected<void, QString> renameOver(const QString &from, const QString &to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return std::unexpected(systemError(QStringLiteral("cannot write"), to));
    return {};
}

std::expected<void, QString> writePrivateFile(const QString &path, const QByteArray &data)
{
    auto temp = createPrivateTemp(path);
    if (!temp)
        return std::unexpected(temp.error());
    QFile file(*temp);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         file.write(data) == data.size() && file.flush();
    const QString error = file.errorString();
    file.close();
    if (!written) {
        QFile::remove(*temp);
        return std::unexpected(QStringLiteral("cannot write ") + QDir::toNativeSeparators(path) +
                               QStringLiteral(": ") + error);
    }
    auto done = syncFile(*temp);
    if (done)
        done = renameOver(*temp, path);
    if (!done)
        QFile::remove(*temp);
    return done;
}

std::expected<void, QString> makePrivateFolder(const QString &path)
{
    if (QFileInfo(path).isDir())
        return {};
    const QString parent = QFileInfo(path).absolutePath();
    if (parent != path && !QFileInfo(parent).isDir()) {
        if (auto made = makePrivateFolder(parent); !made)
            return made;
    }
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
        return std::unexpected(systemError(QStringLiteral("cannot create the folder"), path));
    if (!QFileInfo(path).isDir())
        return std::unexpected(QStringLiteral("not a folder: ") + QDir::toNativeSeparators(path));
    return {};
}

void removeDatabaseTemp(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

} // namespace zorbin::store
