#include "store/prefixsearch.h"

#include "store/fold.h"
#include "store/sqlite.h"

#include <sqlite3.h>

namespace zorbin::store {

bool collectPrefixMatches(sqlite3 *db, const char *table, const char *column, const QString &prefix,
                          QString *error)
{
    const QByteArray folded = foldUtf8(prefix.toUtf8());
    const QStringList variants = prefixVariants(prefix);
    // The index ranges answer exactly when they spell the whole prefix, unless the raised
    // last byte lands on a capital letter, which the case-insensitive order reads as small.
    const bool exact =
        variants.first().toUcs4().size() == prefix.toUcs4().size() && !folded.endsWith('@');
    const QByteArray c = column;
    QByteArray sql = "SELECT zorbin_collect(ID) FROM " + QByteArray(table) + " WHERE " + c +
                     " COLLATE NOCASE >= ?1 AND " + c + " COLLATE NOCASE < ?2";
    if (!exact)
        sql += " AND zorbin_prefix(" + c + ", ?3)";
    Statement st(db, sql.constData());
    for (const QString &variant : variants) {
        const QByteArray lower = variant.toUtf8();
        st.reset();
        st.bindUtf8(1, lower);
        st.bindUtf8(2, prefixUpperBound(lower));
        if (!exact)
            st.bindUtf8(3, folded);
        if (st.step() != SQLITE_ROW) {
            if (error)
                *error = QString::fromUtf8(sqlite3_errmsg(db));
            return false;
        }
    }
    return true;
}

} // namespace zorbin::store
