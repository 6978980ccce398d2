#include "store/filemodes.h"

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
#include <utility>

namespace zorbin::store {

namespace {

std::unexpected<StoreError> systemError(const QString &what, const QString &path)
{
    return failure(StoreError::Kind::Io, what + QStringLiteral(" ") +
                                             QDir::toNativeSeparators(path) + QStringLiteral(": ") +
                                             QString::fromLocal8Bit(std::strerror(errno)));
}

// The longest file name the usual file systems take, in bytes.
constexpr qsizetype kNameMax = 255;

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
    if (::mkdir(QFile::encodeName(absolute).constData(), 0700) != 0 && errno != EEXIST)
        return systemError(QStringLiteral("cannot create the folder"), absolute);
    if (!QFileInfo(absolute).isDir())
        return failure(StoreError::Kind::Io,
                       QStringLiteral("not a folder: ") + QDir::toNativeSeparators(absolute));
    return {};
}

Result<void> createPrivateFile(const QString &path)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST)
            return {};
        return systemError(QStringLiteral("cannot create"), path);
    }
    // open() applies the umask, which may take bits away but never add them; 0600 stays.
    ::fchmod(fd, 0600);
    ::close(fd);
    return {};
}

Result<QString> createPrivateTemp(const QString &finalPath)
{
    const QFileInfo info(finalPath);
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isDir())
        return failure(StoreError::Kind::Io, QStringLiteral("folder does not exist: ") +
                                                 QDir::toNativeSeparators(folder));
    // The final name may already be as long as a name can be; then a short one is used.
    const QString suffix = QLatin1String(kPartialFileMark) + QStringLiteral("XXXXXX");
    QString name = info.fileName() + suffix;
    if (QFile::encodeName(name).size() > kNameMax)
        name = QStringLiteral(".zorbin") + suffix;
    // QTemporaryFile makes its files 0600 with O_EXCL, never following a planted link.
    QTemporaryFile temp(QDir(folder).filePath(name));
    temp.setAutoRemove(false);
    if (!temp.open())
        return failure(StoreError::Kind::Io, QStringLiteral("cannot create a file in ") +
                                                 QDir::toNativeSeparators(folder) +
                                                 QStringLiteral(": ") + temp.errorString());
    const QString made = temp.fileName();
    temp.close();
    return made;
}

Result<void> syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return systemError(QStringLiteral("cannot open"), path);
    const bool ok = ::fsync(fd) == 0;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    if (!ok)
        return systemError(QStringLiteral("cannot write"), path);
    return {};
}

Result<void> renameOver(const QString &from, const QString &to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return systemError(QStringLiteral("cannot write"), to);
    return {};
}

Result<void> writePrivateFile(const QString &path, const QByteArray &data)
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
        return failure(StoreError::Kind::Io, QStringLiteral("cannot write ") +
                                                 QDir::toNativeSeparators(path) +
                                                 QStringLiteral(": ") + error);
    }
    auto done = syncFile(*temp);
    if (done)
        done = renameOver(*temp, path);
    if (!done)
        QFile::remove(*temp);
    return done;
}

PrivateFileWriter::PrivateFileWriter(QString path) : m_path(std::move(path)) {}

PrivateFileWriter::~PrivateFileWriter()
{
    if (!m_committed && !m_temp.isEmpty()) {
        m_file.close();
        QFile::remove(m_temp);
    }
}

Result<void> PrivateFileWriter::open()
{
    auto temp = createPrivateTemp(m_path);
    if (!temp)
        return std::unexpected(temp.error());
    m_temp = *temp;
    m_file.setFileName(m_temp);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failure(StoreError::Kind::Io, m_file.errorString());
    return {};
}

Result<void> PrivateFileWriter::writeOut()
{
    if (m_file.write(m_pending) != m_pending.size())
        return failure(StoreError::Kind::Io, m_file.errorString());
    m_pending.clear();
    return {};
}

Result<void> PrivateFileWriter::append(const QByteArray &bytes)
{
    m_pending.append(bytes);
    if (m_pending.size() > 256 * 1024)
        return writeOut();
    return {};
}

Result<void> PrivateFileWriter::commit()
{
    if (auto written = writeOut(); !written)
        return written;
    if (!m_file.flush())
        return failure(StoreError::Kind::Io, m_file.errorString());
    m_file.close();
    if (auto synced = syncFile(m_temp); !synced)
        return synced;
    if (auto renamed = renameOver(m_temp, m_path); !renamed)
        return renamed;
    m_committed = true;
    return {};
}

void removeDatabaseTemp(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

} // namespace zorbin::store
