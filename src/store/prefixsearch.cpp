#include "store/prefixsearch.h"

#include "store/engineerror.h"
#include "store/fold.h"
#include "store/sqlite.h"

#include <sqlite3.h>

namespace zorbin::store {

PrefixSearch::PrefixSearch(const QString &prefix)
    : folded(foldUtf8(prefix.toUtf8())), variants(prefixVariants(prefix))
{
    exact = variants.first().toUcs4().size() == prefix.toUcs4().size() && !folded.endsWith('@');
}

QByteArray prefixSearchSql(const char *table, const char *column, bool exact, bool tableOnly)
{
    const QByteArray c = column;
    QByteArray sql = "SELECT zorbin_collect(ID) FROM " + QByteArray(table) +
                     QByteArray(tableOnly ? " NOT INDEXED" : "") + " WHERE " + c +
                     " COLLATE NOCASE >= ?1 AND " + c + " COLLATE NOCASE < ?2";
    if (!exact)
        sql += " AND zorbin_prefix(" + c + ", ?3)";
    return sql;
}

Result<void> runPrefixSearch(sqlite3 *db, Statement &st, const PrefixSearch &search)
{
    for (const QString &variant : search.variants) {
        const QByteArray lower = variant.toUtf8();
        st.reset();
        st.bindUtf8(1, lower);
        st.bindUtf8(2, prefixUpperBound(lower));
        if (!search.exact)
            st.bindUtf8(3, search.folded);
        if (st.step() != SQLITE_ROW) {
            const StoreError error = engineErrorOf(db);
            st.reset();
            return std::unexpected(error);
        }
    }
    st.reset();
    return {};
}

Result<void> collectPrefixMatches(sqlite3 *db, QVector<qint64> &collected, const char *table,
                                  const char *column, const QString &prefix)
{
    const PrefixSearch search(prefix);
    collected.clear();
    Statement st(db, prefixSearchSql(table, column, search.exact).constData());
    if (runPrefixSearch(db, st, search))
        return {};
    // A damaged index must not hide the records: the table itself is searched.
    collected.clear();
    Statement plain(db, prefixSearchSql(table, column, search.exact, true).constData());
    auto found = runPrefixSearch(db, plain, search);
    if (!found)
        collected.clear();
    return found;
}

} // namespace zorbin::store
