#include "store/filemodes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorbin::store {

namespace {
QString systemError(const QString &path)
{
    return path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}
} // namespace

Result<void> makePrivateFolder(const QString &path)
{
    const QString absolute = QDir::cleanPath(QDir(path).absolutePath());
    if (QFileInfo(absolute).isDir())
        return {};
    const QString parent = QFileInfo(absolute).path();
    if (parent != absolute) {
        if (auto made = makePrivateFolder(parent); !made)
            return made;
    }
    const QByteArray name = QFile::encodeName(absolute);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return failure(StoreError::Kind::Io, systemError(absolute));
    if (!QFileInfo(absolute).isDir())
        return failure(StoreError::Kind::Io, absolute);
    return {};
}

Result<void> createPrivateFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST)
            return {};
        return failure(StoreError::Kind::Io, systemError(path));
    }
    // open() applies the umask, which may take bits away but never add them; 0600 stays.
    ::fchmod(fd, 0600);
    ::close(fd);
    return {};
}

Result<void> writePrivateFile(const QString &path, const QByteArray &data)
{
    // QTemporaryFile makes its file 0600.
    QTemporaryFile file(path + QLatin1String(kPartialFileMark) + QStringLiteral("XXXXXX"));
    if (!file.open())
        return failure(StoreError::Kind::Io, path + QStringLiteral(": ") + file.errorString());
    if (file.write(data) != data.size() || !file.flush() || ::fsync(file.handle()) != 0)
        return failure(StoreError::Kind::Io, path + QStringLiteral(": ") + file.errorString());
    file.close();
    file.setAutoRemove(false);
    if (!file.rename(path)) {
        const QString why = file.errorString();
        file.remove();
        return failure(StoreError::Kind::Io, path + QStringLiteral(": ") + why);
    }
    return {};
}

} // namespace zorbin::store
