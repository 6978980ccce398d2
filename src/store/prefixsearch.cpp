#include "store/prefixsearch.h"

#include "store/engineerror.h"
#include "store/fold.h"
#include "store/sqlite.h"

#include <sqlite3.h>

#include <algorithm>
#include <bit>
#include <vector>

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

QByteArray prefixHeadSql(const char *table, const char *column, bool exact, int ranges)
{
    const QByteArray c = column;
    QByteArray matches;
    for (int r = 0; r < ranges; ++r) {
        const QByteArray low = QByteArray::number(3 + 2 * r), high = QByteArray::number(4 + 2 * r);
        if (r > 0)
            matches += " OR ";
        matches += "(" + c + " COLLATE NOCASE >= ?" + low + " AND " + c + " COLLATE NOCASE < ?" +
                   high + (exact ? QByteArray() : " AND zorbin_prefix(" + c + ", ?2)") + ")";
    }
    // NOT INDEXED: the table's own order is ID order; a column index would need sorting.
    return "SELECT ID, " + (matches.isEmpty() ? QByteArray("0") : matches) + " FROM " +
           QByteArray(table) + " NOT INDEXED ORDER BY ID LIMIT ?1";
}

void bindPrefixHead(Statement &st, const PrefixSearch &search, int scanned)
{
    st.bind(1, qint64(scanned));
    if (!search.exact)
        st.bindUtf8(2, search.folded);
    for (int r = 0; r < search.variants.size(); ++r) {
        const QByteArray lower = search.variants[r].toUtf8();
        st.bindUtf8(3 + 2 * r, lower);
        st.bindUtf8(4 + 2 * r, prefixUpperBound(lower));
    }
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

// Sorts IDs; dense ones (the usual case) through a bitmap in linear time: a short prefix
// matches most records, and sorting their IDs would take most of the keystroke.
void sortIds(QVector<qint64> &ids)
{
    const auto sortPlainly = [&]() {
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    };
    if (ids.size() < 4096) {
        sortPlainly();
        return;
    }
    const auto [lowest, highest] = std::minmax_element(ids.begin(), ids.end());
    const qint64 low = *lowest;
    const quint64 span = quint64(*highest) - quint64(low) + 1;
    if (span / 64 > quint64(ids.size())) {
        sortPlainly();
        return;
    }
    std::vector<quint64> bits(size_t((span + 63) / 64));
    for (const qint64 id : ids) {
        const quint64 offset = quint64(id) - quint64(low);
        bits[size_t(offset / 64)] |= quint64(1) << (offset % 64);
    }
    ids.clear();
    for (size_t word = 0; word < bits.size(); ++word)
        for (quint64 w = bits[word]; w != 0; w &= w - 1)
            ids.append(low + qint64(word * 64 + size_t(std::countr_zero(w))));
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
