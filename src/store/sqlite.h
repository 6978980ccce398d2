#pragma once

#include <QByteArray>
#include <QString>
#include <sqlite3.h>

namespace zorbin::store {

// A prepared statement; finalised when it goes out of scope. Parameters are bound,
// never pasted into the SQL text.
class Statement
{
public:
    Statement(sqlite3 *db, const char *sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool ok() const { return m_stmt != nullptr; }
    void reset();
    void bind(int index, const QString &text);
    void bindUtf8(int index, const QByteArray &utf8);
    void bind(int index, qint64 value);
    void bindNull(int index);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    qint64 int64(int column) const;
    // NULL reads as a null QString, an empty text as an empty one.
    QString text(int column) const;
    // The stored bytes as they are, for binding them back exactly.
    QByteArray bytes(int column) const;

private:
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace zorbin::store
