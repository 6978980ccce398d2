#pragma once

#include "store/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

struct sqlite3;

namespace zorbin::store {

class Statement;

// One folded prefix search: the index ranges to read (one per spelling of the prefix) and
// whether those ranges answer exactly. They do when they spell the whole prefix, unless
// the raised last byte lands on a capital letter, which the case-insensitive order reads
// as small; otherwise each row in them is also compared with the folded prefix.
struct PrefixSearch
{
    explicit PrefixSearch(const QString &prefix);

    QByteArray folded;
    QStringList variants;
    bool exact = true;
};

// The statement for `column` of `table` (program constants, never user text; the column
// needs a COLLATE NOCASE index): a range on that index, with the folded comparison unless
// the search is exact. `tableOnly` reads the table instead of the index, for a file whose
// index is missing or damaged.
QByteArray prefixSearchSql(const char *table, const char *column, bool exact,
                           bool tableOnly = false);

// Runs `st`, made by prefixSearchSql for `search`, once per range: the IDs found go to the
// store's zorbin_collect buffer, unsorted and possibly repeated. A non-empty prefix only.
// The statement is left reset; a failure carries the engine's words.
Result<void> runPrefixSearch(sqlite3 *db, Statement &st, const PrefixSearch &search);

// Sorts IDs and drops repeats; dense ones (the usual case) through a bitmap in linear time.
void sortIds(QVector<qint64> &ids);

// The first-screen read of a search: `SELECT ID, <matches> FROM table NOT INDEXED ORDER BY
// ID LIMIT ?1`, where <matches> is 1 when the row matches any of `ranges` spellings; ?2 is
// the folded prefix and each range takes two parameters from ?3 on, as runPrefixSearch
// binds them.
QByteArray prefixHeadSql(const char *table, const char *column, bool exact, int ranges);
// Binds `search` to a statement made by prefixHeadSql.
void bindPrefixHead(Statement &st, const PrefixSearch &search, int scanned);

// The whole search on `column` of `table` with a statement of its own: through the index,
// and through the table when the index fails. `collected` is the zorbin_collect buffer,
// emptied before each attempt.
Result<void> collectPrefixMatches(sqlite3 *db, QVector<qint64> &collected, const char *table,
                                  const char *column, const QString &prefix);

} // namespace zorbin::store
