#pragma once

#include "store/result.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace zorbin::store {

// The steps of making a new installation, in order. The database goes into place last,
// so a folder holding ZBDB.mdb always holds a complete installation.
enum class CreationStep {
    FolderReady,       // the data folder and images/ exist, 0700 when made here
    PictureInPlace,    // images/none.jpg written and renamed into place
    TemporaryFileMade, // the empty 0600 file the database is built in
    DatabaseWritten,   // tables and the default account committed under the temporary name
    DatabaseInPlace    // renamed to ZBDB.mdb
};

// Called after each step; tests use it to stop a creation part way, as a crash would.
using CreationHook = std::function<void(CreationStep)>;

// Makes the new-installation database in `folder` (the four tables and the default
// account) and images/none.jpg from `picture` when it is missing. Each file is built under
// a temporary name in its own folder and renamed into place when complete.
Result<void> makeNewInstallation(const QString &folder, const QByteArray &picture,
                                 const CreationHook &hook = {});

// Clears what an interrupted start left in `folder`: files still under their temporary
// names are removed, and an empty ZBDB.mdb (which holds no data) is set aside with its
// journal under a dated name, so that a new installation is made in its place. Returns the
// name the empty file was given, or an empty string when there was none.
Result<QString> recoverInterruptedCreation(const QString &folder);

} // namespace zorbin::store
