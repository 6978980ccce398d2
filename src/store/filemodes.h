#pragma once

#include "store/result.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace zorbin::store {

// What the program keeps is the user's alone: folders it makes are 0700 and files it
// writes 0600, whatever the umask. Folders and files that already exist keep the modes
// the user gave them. Files are written under a temporary name beside their final path and
// renamed into place, so a killed process never leaves a half-made file under that name.

// Makes `path` and any missing parent folders, each new one 0700.
Result<void> makePrivateFolder(const QString &path);

// Creates an empty file of mode 0600 at `path` when none is there, so that whatever
// writes it next (the engine, the settings) keeps that mode. An existing file is left as
// it is.
Result<void> createPrivateFile(const QString &path);

// Makes an empty 0600 file with a unique temporary name in the folder of `finalPath` and
// returns its path. Its name carries kPartialFileMark.
Result<QString> createPrivateTemp(const QString &finalPath);

// Flushes `path` to the disk, so that a rename after it never exposes a short file.
Result<void> syncFile(const QString &path);

// Renames `from` over `to` in one step, replacing a file there.
Result<void> renameOver(const QString &from, const QString &to);

// Writes `data` to exactly `path` through a synced 0600 temporary file and a rename,
// replacing a file there.
Result<void> writePrivateFile(const QString &path, const QByteArray &data);

// A file written whole or not at all, of any size: made 0600 under a temporary name beside
// its path, filled in large writes, and renamed into place by commit(). Dropped without a
// commit, it leaves no file behind.
class PrivateFileWriter
{
public:
    explicit PrivateFileWriter(QString path);
    ~PrivateFileWriter();
    PrivateFileWriter(const PrivateFileWriter &) = delete;
    PrivateFileWriter &operator=(const PrivateFileWriter &) = delete;

    Result<void> open();
    // Adds `bytes`; they reach the file once a quarter megabyte has gathered.
    Result<void> append(const QByteArray &bytes);
    // Writes the rest, flushes to the disk and renames the file into place.
    Result<void> commit();

private:
    Result<void> writeOut();

    QString m_path;
    QString m_temp;
    QFile m_file;
    QByteArray m_pending;
    bool m_committed = false;
};

// Removes a temporary database file and the journal the engine may have left beside it.
void removeDatabaseTemp(const QString &path);

// The name part a file being written gets before it is renamed into place; what carries it
// in a data folder at start was left by an interrupted run.
inline constexpr char kPartialFileMark[] = ".partial-";

} // namespace zorbin::store
