// The account and statistics store calls.
#include "store/engineerror.h"
#include "store/sqlite.h"
#include "store/store.h"
#include "store/text.h"

#include <sqlite3.h>

namespace zorbin::store {

namespace {

// The first account is the first row the table was given, as the login list shows it.
constexpr char kFirstAccount[] = "(SELECT rowid FROM Table_User ORDER BY rowid LIMIT 1)";

} // namespace

Result<void> Store::updateFirstAccount(const QString &password, const QString &question,
                                       const QString &answer)
{
    const QByteArray sql = QByteArray("UPDATE Table_User SET Password=?1, Question=?2, Answer=?3 "
                                      "WHERE rowid = ") +
                           kFirstAccount;
    Statement st(m_db, sql.constData());
    st.bind(1, trimBlanks(password));
    st.bind(2, trimBlanks(question));
    st.bind(3, trimBlanks(answer));
    if (st.step() != SQLITE_DONE)
        return engineFailure(m_db, "change password");
    if (sqlite3_changes(m_db) != 1)
        return failure(StoreError::Kind::NotFound, QStringLiteral("change password: no account"));
    return std::expected<void, StoreError>();
}

Result<std::optional<QString>> Store::recoverPassword(const QString &question,
                                                      const QString &answer)
{
    const QByteArray sql =
        QByteArray("SELECT Password, Question, Answer FROM Table_User WHERE rowid = ") +
        kFirstAccount;
    Statement st(m_db, sql.constData());
    const int rc = st.step();
    if (rc == SQLITE_DONE)
        return std::optional<QString>(); // no account: nothing can match
    if (rc != SQLITE_ROW)
        return engineFailure(m_db, "password recovery");
    const QString storedQuestion = st.text(1);
    const QString storedAnswer = st.text(2);
    // A question and answer never set (NULL, or the empty texts of a new installation)
    // would otherwise be matched by blanks alone.
    if (storedQuestion.isEmpty() || storedAnswer.isEmpty())
        return std::optional<QString>();
    if (trimBlanks(question) != storedQuestion || trimBlanks(answer) != storedAnswer)
        return std::optional<QString>();
    const QString password = st.text(0);
    return std::optional<QString>(password.isNull() ? QStringLiteral("") : password);
}

Result<RecordCounts> Store::recordCounts()
{
    RecordCounts counts;
    const std::pair<const char *, qint64 *> queries[] = {
        {"SELECT count(*) FROM Table_Site", &counts.sites},
        {"SELECT count(*) FROM Table_Category", &counts.categories},
        {"SELECT count(*) FROM Table_Contact", &counts.contacts},
    };
    for (const auto &[sql, target] : queries) {
        Statement st(m_db, sql);
        if (st.step() != SQLITE_ROW)
            return engineFailure(m_db, "count");
        *target = st.int64(0);
    }
    return counts;
}

} // namespace zorbin::store
