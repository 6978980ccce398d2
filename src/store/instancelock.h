#pragma once

#include "store/result.h"

#include <QLockFile>
#include <QString>
#include <memory>

namespace zorbin::store {

// Where the lock that keeps one copy of the program per data folder lives: the user's
// runtime folder ($XDG_RUNTIME_DIR, private to the user) when there is one, else the data
// folder itself. The name is keyed on the folder's canonical path, so a symbolic link to
// the same folder finds the same lock. The folder must exist.
QString instanceLockPath(const QString &dataFolder);

// Takes the lock for `dataFolder`. Returns the held lock, or nullptr when another running
// copy holds it. A lock whose process is gone, or whose content cannot be read (an empty
// or damaged file), is stale and taken over. Fails when the lock file cannot be made.
Result<std::unique_ptr<QLockFile>> acquireInstanceLock(const QString &dataFolder);

} // namespace zorbin::store
