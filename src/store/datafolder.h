#pragma once

#include <QString>

namespace zorbin::store {

// The folder that holds ZBDB.mdb: $ZORBIN_HOME when set; else the program's own folder
// when the database is there (a portable copy); else the per-user data folder.
QString resolveDataFolder();

// Where the INI files of the settings live: beside the data in a $ZORBIN_HOME setup,
// else the per-user configuration folder.
QString resolveSettingsFolder();

} // namespace zorbin::store
