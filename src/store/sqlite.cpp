#include "store/sqlite.h"

#include <QFile>

namespace zorbin::store {

Result<std::unique_ptr<ReadOnlyConnection>> ReadOnlyConnection::open(const QString &path)
{
    sqlite3 *db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const QString error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close_v2(db);
        return failure(StoreError::Kind::NotOpened, error);
    }
    return std::unique_ptr<ReadOnlyConnection>(new ReadOnlyConnection(db));
}

ReadOnlyConnection::~ReadOnlyConnection()
{
    sqlite3_close_v2(m_db);
}

bool ReadOnlyConnection::opensWith(const QByteArray &key)
{
    sqlite3_key(m_db, key.constData(), int(key.size()));
    Statement st(m_db, "SELECT count(*) FROM sqlite_master");
    return st.ok() && st.step() == SQLITE_ROW;
}

QString ReadOnlyConnection::lastError() const
{
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

Statement::Statement(sqlite3 *db, const char *sql)
{
    if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::reset()
{
    if (!m_stmt)
        return;
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

void Statement::bind(int index, const QString &text)
{
    if (text.isNull())
        bindNull(index);
    else
        bindUtf8(index, text.toUtf8());
}

void Statement::bindUtf8(int index, const QByteArray &utf8)
{
    if (m_stmt)
        sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void Statement::bind(int index, qint64 value)
{
    if (m_stmt)
        sqlite3_bind_int64(m_stmt, index, value);
}

void Statement::bindNull(int index)
{
    if (m_stmt)
        sqlite3_bind_null(m_stmt, index);
}

int Statement::step()
{
    return m_stmt ? sqlite3_step(m_stmt) : SQLITE_MISUSE;
}

int Statement::columnCount() const
{
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

qint64 Statement::int64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QByteArray Statement::bytes(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_blob(m_stmt, column));
    return QByteArray(data, sqlite3_column_bytes(m_stmt, column));
}

QString Statement::text(int column) const
{
    if (sqlite3_column_type(m_stmt, column) == SQLITE_NULL)
        return QString();
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    if (size == 0)
        return QStringLiteral("");
    return QString::fromUtf8(data, size);
}

} // namespace zorbin::store
