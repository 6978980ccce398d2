#pragma once

#include <QString>

struct sqlite3;

namespace zorbin::store {

// Runs the folded prefix search on `column` of `table` (program constants, never user
// text; the column needs a COLLATE NOCASE index): the IDs found go to the store's
// zorbin_collect buffer, unsorted and possibly repeated. A non-empty prefix only. Returns
// false and the engine's words in `error` when a statement fails.
bool collectPrefixMatches(sqlite3 *db, const char *table, const char *column, const QString &prefix,
                          QString *error);

} // namespace zorbin::store
