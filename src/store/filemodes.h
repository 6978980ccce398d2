#pragma once

#include "store/result.h"

#include <QByteArray>
#include <QString>

namespace zorbin::store {

// What the program keeps is the user's alone: folders it makes are 0700 and files it
// writes 0600, whatever the umask. Folders and files that already exist keep the modes
// the user gave them.

// Makes `path` and any missing parent folders, each new one 0700.
Result<void> makePrivateFolder(const QString &path);

// Creates an empty file of mode 0600 at `path` when none is there, so that whatever
// writes it next (the engine, the settings) keeps that mode. An existing file is left as
// it is.
Result<void> createPrivateFile(const QString &path);

// Writes `data` to `path` through a 0600 file of a temporary name in the same folder,
// renamed into place only when complete; an existing `path` is not replaced.
Result<void> writePrivateFile(const QString &path, const QByteArray &data);

// The name part a file being written gets before it is renamed into place; what carries it
// in a data folder at start was left by an interrupted run.
inline constexpr char kPartialFileMark[] = ".partial-";

} // namespace zorbin::store
