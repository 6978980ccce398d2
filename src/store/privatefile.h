#pragma once

#include <QByteArray>
#include <QString>
#include <expected>

namespace zorbin::store {

// Files holding the user's secrets: created 0600 under a temporary name beside their final
// path and renamed into place, so a killed process never leaves a half-made file under the
// final name. Failures carry a short English reason with the system's words.

// Makes an empty 0600 file with a unique temporary name in the folder of `finalPath`.
std::expected<QString, QString> createPrivateTemp(const QString &finalPath);

// Flushes `path` to the disk, so that a rename after it never exposes a short file.
std::expected<void, QString> syncFile(const QString &path);

// Renames `from` over `to` in one step, replacing a file there.
std::expected<void, QString> renameOver(const QString &from, const QString &to);

// Writes `data` to exactly `path` through a synced temporary file and a rename; 0600.
std::expected<void, QString> writePrivateFile(const QString &path, const QByteArray &data);

// Makes the folder `path` (0700) when it is missing, with any missing parents.
std::expected<void, QString> makePrivateFolder(const QString &path);

// Removes a temporary database file and the journal the engine may have left beside it.
void removeDatabaseTemp(const QString &path);

} // namespace zorbin::store
