// The phone book's store calls.
#include "store/engineerror.h"
#include "store/prefixsearch.h"
#include "store/sqlite.h"
#include "store/store.h"
#include "store/text.h"

#include <algorithm>
#include <bit>
#include <sqlite3.h>
#include <utility>
#include <vector>

namespace zorbin::store {

namespace {

constexpr char kListColumns[] = "SELECT ID, Name, \"Group\", Mobile, Home, Job, Email "
                                "FROM Table_Contact WHERE ID = ?1";

std::unexpected<StoreError> notFound(const char *what, qint64 id)
{
    return failure(StoreError::Kind::NotFound,
                   QString::fromLatin1(what) + QStringLiteral(": no contact with ID %1").arg(id));
}

void bindFields(Statement &st, const ContactRecord &r)
{
    const QString *const fields[] = {&r.name,  &r.group, &r.mobile, &r.home,    &r.office,
                                     &r.email, &r.site,  &r.job,    &r.address, &r.image};
    for (int i = 0; i < 10; ++i) {
        // A null text is stored as an empty one: every save writes every column.
        const QString &f = *fields[i];
        st.bind(i + 1, f.isNull() ? QStringLiteral("") : f);
    }
}

ContactListRow listRow(const Statement &st)
{
    return {st.int64(0), st.text(1), st.text(2), st.text(3), st.text(4), st.text(5), st.text(6)};
}

} // namespace

Result<QVector<qint64>> Store::contactIds()
{
    // The narrow ID index holds the IDs in order; the table itself would be decrypted
    // page by page.
    m_collected.clear();
    Statement st(m_db, "SELECT zorbin_collect(ID) FROM "
                       "(SELECT ID FROM Table_Contact INDEXED BY Contact_ID ORDER BY ID)");
    if (st.step() != SQLITE_ROW) {
        // The index is missing or damaged: the table itself still holds every contact.
        m_collected.clear();
        Statement plain(m_db, "SELECT zorbin_collect(ID) FROM "
                              "(SELECT ID FROM Table_Contact NOT INDEXED ORDER BY ID)");
        if (plain.step() != SQLITE_ROW) {
            m_collected.clear();
            return engineFailure(m_db, "contact list");
        }
    }
    QVector<qint64> ids = std::exchange(m_collected, {});
    std::sort(ids.begin(), ids.end()); // the engine may drop the inner order
    return ids;
}

Result<QVector<qint64>> Store::searchContacts(ContactSearchColumn column, const QString &prefix)
{
    if (prefix.isEmpty())
        return contactIds();
    const char *name = column == ContactSearchColumn::Mobile ? "Mobile" : "Name";
    if (auto found = collectPrefixMatches(m_db, m_collected, "Table_Contact", name, prefix); !found)
        return std::unexpected(found.error());
    QVector<qint64> ids = std::exchange(m_collected, {});
    sortIds(ids);
    return ids;
}

Result<ContactListRow> Store::contactListRow(qint64 id)
{
    Statement st(m_db, kListColumns);
    st.bind(1, id);
    const int rc = st.step();
    if (rc == SQLITE_ROW)
        return listRow(st);
    if (rc == SQLITE_DONE)
        return notFound("contact list row", id);
    return engineFailure(m_db, "contact list row");
}

Result<QVector<ContactListRow>> Store::contactListRows(const QVector<qint64> &ids)
{
    QVector<ContactListRow> rows;
    rows.reserve(ids.size());
    Statement st(m_db, kListColumns);
    for (const qint64 id : ids) {
        st.reset();
        st.bind(1, id);
        const int rc = st.step();
        if (rc == SQLITE_ROW)
            rows.append(listRow(st));
        else if (rc != SQLITE_DONE)
            return engineFailure(m_db, "contact list rows");
    }
    return rows;
}

Result<ContactRecord> Store::contact(qint64 id)
{
    Statement st(m_db, "SELECT ID, Name, \"Group\", Mobile, Home, Office, Email, Site, Job, "
                       "Address, Image FROM Table_Contact WHERE ID = ?1");
    st.bind(1, id);
    const int rc = st.step();
    if (rc == SQLITE_DONE)
        return notFound("contact", id);
    if (rc != SQLITE_ROW)
        return engineFailure(m_db, "contact");
    return ContactRecord{st.int64(0), st.text(1), st.text(2), st.text(3), st.text(4), st.text(5),
                         st.text(6),  st.text(7), st.text(8), st.text(9), st.text(10)};
}

Result<bool> Store::contactMobileExists(const QString &mobile)
{
    const QString trimmed = trimBlanks(mobile);
    if (trimmed.isEmpty())
        return false;
    // The case-insensitive index narrows the rows; the plain comparison is exact.
    Statement st(m_db, "SELECT 1 FROM Table_Contact WHERE Mobile COLLATE NOCASE = ?1 "
                       "AND Mobile = ?1 LIMIT 1");
    st.bind(1, trimmed);
    const int rc = st.step();
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    return engineFailure(m_db, "contact mobile");
}

Result<qint64> Store::contactsWithMobile(const QString &mobile, qint64 exceptId)
{
    // The case-insensitive index narrows the rows; the plain comparison is exact.
    Statement st(m_db, mobile.isEmpty() ? "SELECT COUNT(*) FROM Table_Contact WHERE ID <> ?2 AND "
                                          "(Mobile = ?1 OR Mobile IS NULL)"
                                        : "SELECT COUNT(*) FROM Table_Contact WHERE ID <> ?2 AND "
                                          "Mobile COLLATE NOCASE = ?1 AND Mobile = ?1");
    st.bind(1, mobile.isNull() ? QStringLiteral("") : mobile);
    st.bind(2, exceptId);
    if (st.step() != SQLITE_ROW)
        return engineFailure(m_db, "contacts with mobile");
    return st.int64(0);
}

Result<qint64> Store::insertContact(const ContactRecord &record)
{
    Statement st(m_db, "INSERT INTO Table_Contact (Name, \"Group\", Mobile, Home, Office, Email, "
                       "Site, Job, Address, Image) VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10)");
    bindFields(st, record);
    if (st.step() != SQLITE_DONE)
        return engineFailure(m_db, "insert contact");
    return qint64(sqlite3_last_insert_rowid(m_db));
}

Result<void> Store::updateContact(const ContactRecord &record)
{
    Statement st(m_db, "UPDATE Table_Contact SET Name=?1, \"Group\"=?2, Mobile=?3, Home=?4, "
                       "Office=?5, Email=?6, Site=?7, Job=?8, Address=?9, Image=?10 WHERE ID=?11");
    bindFields(st, record);
    st.bind(11, record.id);
    if (st.step() != SQLITE_DONE)
        return engineFailure(m_db, "update contact");
    if (sqlite3_changes(m_db) != 1)
        return notFound("update contact", record.id);
    return std::expected<void, StoreError>();
}

Result<void> Store::deleteContact(qint64 id)
{
    Statement st(m_db, "DELETE FROM Table_Contact WHERE ID=?1");
    st.bind(1, id);
    if (st.step() != SQLITE_DONE)
        return engineFailure(m_db, "delete contact");
    if (sqlite3_changes(m_db) != 1)
        return notFound("delete contact", id);
    return std::expected<void, StoreError>();
}

} // namespace zorbin::store
