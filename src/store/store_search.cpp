// A search of the sites or the phone book read in parts: the first screen first, the rest
// a slice at a time.
#include "store/contactrecords.h"
#include "store/fold.h"
#include "store/prefixsearch.h"
#include "store/sqlite.h"
#include "store/store.h"

#include <limits>

namespace zorbin::store {

SearchSlices siteSearch(SearchColumn column, const QString &prefix)
{
    SearchSlices search;
    search.column = searchColumnName(column);
    search.prefix = prefix;
    return search;
}

SearchSlices contactSearch(ContactSearchColumn column, const QString &prefix)
{
    SearchSlices search;
    search.table = "Table_Contact";
    search.column = column == ContactSearchColumn::Mobile ? "Mobile" : "Name";
    search.prefix = prefix;
    return search;
}

Result<qint64> Store::maxId(const SearchSlices &search)
{
    return count(QByteArray("SELECT coalesce(max(ID), 0) FROM ") + search.table);
}

Result<SearchHead> Store::searchHead(const SearchSlices &slices, int wanted, int scanned)
{
    SearchHead head;
    if (slices.prefix.isEmpty()) {
        Statement st(
            m_db,
            (QByteArray("SELECT ID FROM ") + slices.table + " ORDER BY ID LIMIT ?1").constData());
        st.bind(1, qint64(wanted));
        int rc;
        while ((rc = st.step()) == SQLITE_ROW)
            head.ids.append(st.int64(0));
        if (rc != SQLITE_DONE)
            return std::unexpected(engineError());
        head.whole = head.ids.size() < wanted;
        return head;
    }
    const PrefixSearch search(slices.prefix);
    Statement st(
        m_db, prefixHeadSql(slices.table, slices.column, search.exact, int(search.variants.size()))
                  .constData());
    if (!st.ok())
        return std::unexpected(engineError());
    bindPrefixHead(st, search, scanned);
    int read = 0;
    int rc = SQLITE_DONE;
    while (head.ids.size() < wanted && (rc = st.step()) == SQLITE_ROW) {
        ++read;
        if (st.int64(1) != 0)
            head.ids.append(st.int64(0));
    }
    if (head.ids.size() < wanted) {
        if (rc != SQLITE_DONE)
            return std::unexpected(engineError());
        head.whole = read < scanned;
    }
    return head;
}

namespace {

// One statement of a slice: the IDs and texts it gives are handed to `row`; the
// statement's outcome is returned (SQLITE_DONE when it read to its end).
template <typename Row> int readSlice(Statement &st, Row &&row)
{
    int rc;
    while ((rc = st.step()) == SQLITE_ROW)
        row(st.int64(0), st);
    return rc;
}

} // namespace

Result<bool> Store::searchSlice(SearchSlices &search, int limit)
{
    if (search.done)
        return true;
    const QByteArray table = search.table;
    const auto readWhole = [&]() -> Result<bool> {
        // No usable index for this column: the search at once, as the whole search reads it.
        if (search.prefix.isEmpty()) {
            auto ids = table == "Table_Contact" ? contactIds() : siteIds();
            if (!ids)
                return std::unexpected(ids.error());
            search.ids = std::move(*ids);
        } else {
            if (auto found = collectPrefixMatches(m_db, m_collected, search.table, search.column,
                                                  search.prefix);
                !found)
                return std::unexpected(found.error());
            search.ids = std::exchange(m_collected, {});
            sortIds(search.ids);
        }
        search.done = true;
        return true;
    };
    if (search.prefix.isEmpty())
        return readWhole();

    const PrefixSearch prefix(search.prefix);
    const QByteArray c = search.column;
    // Table_Site's indexes are Site_<column>, Table_Contact's Contact_<column>.
    const QByteArray index = table.mid(table.indexOf('_') + 1) + '_' + c;
    const QByteArray from =
        "SELECT ID, " + c + " FROM " + table + " INDEXED BY " + index + " WHERE ";
    const QByteArray filter = prefix.exact ? QByteArray() : " AND zorbin_prefix(" + c + ", ?3)";
    const auto bindCommon = [&](Statement &st, int budget) {
        if (!prefix.exact)
            st.bindUtf8(3, prefix.folded);
        st.bind(4, qint64(budget));
    };

    int budget = limit;
    while (budget > 0 && search.range < prefix.variants.size()) {
        const QByteArray lower = prefix.variants[search.range].toUtf8();
        if (search.started) {
            // The entries with the same text as the last one read come after it in ID order.
            Statement ties(m_db, (from + c + " COLLATE NOCASE = ?1 AND ID > ?2" + filter +
                                  " ORDER BY ID LIMIT ?4")
                                     .constData());
            if (!ties.ok())
                return readWhole();
            ties.bindUtf8(1, search.lastKey);
            ties.bind(2, search.lastId);
            bindCommon(ties, budget);
            const int rc = readSlice(ties, [&](qint64 id, const Statement &) {
                search.ids.append(id);
                search.lastId = id;
                --budget;
            });
            if (rc != SQLITE_DONE)
                return readWhole();
            if (budget == 0)
                break;
        }
        // Then the entries after that text (or from the start of the range) to its end.
        Statement range(m_db, (from + c + " COLLATE NOCASE " + (search.started ? ">" : ">=") +
                               " ?1 AND " + c + " COLLATE NOCASE < ?2" + filter + " ORDER BY " + c +
                               " COLLATE NOCASE, ID LIMIT ?4")
                                  .constData());
        if (!range.ok())
            return readWhole();
        range.bindUtf8(1, search.started ? search.lastKey : lower);
        range.bindUtf8(2, prefixUpperBound(lower));
        bindCommon(range, budget);
        const int rc = readSlice(range, [&](qint64 id, const Statement &st) {
            search.ids.append(id);
            search.lastKey = st.bytes(1);
            search.lastId = id;
            search.started = true;
            --budget;
        });
        if (rc != SQLITE_DONE)
            return readWhole();
        if (budget > 0) {
            // The range gave less than it was asked for: it is read to its end.
            ++search.range;
            search.started = false;
        }
    }
    if (search.range < prefix.variants.size())
        return false;
    sortIds(search.ids);
    search.done = true;
    return true;
}

} // namespace zorbin::store
