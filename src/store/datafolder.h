#pragma once

#include "store/result.h"

#include <QString>
#include <memory>

namespace zorbin::store {

class Store;

// The folder that holds ZBDB.mdb: $ZORBIN_HOME when set; else the program's own folder
// when the database is there (a portable copy); else the per-user data folder.
QString resolveDataFolder();

// Where the INI files of the settings live: beside the data in a $ZORBIN_HOME setup,
// else the per-user configuration folder.
QString resolveSettingsFolder();

// Makes the data folder ready: when it holds no database, the new-installation database
// and images/none.jpg. Then opens the database. A failure has one of the open kinds of
// StoreError (openErrorMessage() words it for the user). With `verify` false the store is
// only connected and the caller runs Store::verify() before anything else.
Result<std::unique_ptr<Store>> openDataFolder(const QString &folder, bool verify = true);

} // namespace zorbin::store
