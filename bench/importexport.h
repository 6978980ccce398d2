#pragma once

#include <QString>

// Importing 100,000 sites from a CSV file and 100,000 contacts from a vCard file into an
// empty database, preview and import each timed, and the memory each one adds beside the
// same import of 20,000: it must stay flat with the size of the file. Exports are timed
// too. Prints each figure beside its target; false when an import failed.
bool benchImportExport(const QString &folder);
