#pragma once

#include "store/result.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <sqlite3.h>

namespace zorbin::store {

// A database file of the engine opened for reading alone (the converter's version 1.0
// source); nothing is ever written through it. Closed when it goes out of scope.
class ReadOnlyConnection
{
public:
    // Opens the file; a failure carries the engine's words.
    static Result<std::unique_ptr<ReadOnlyConnection>> open(const QString &path);
    ~ReadOnlyConnection();
    ReadOnlyConnection(const ReadOnlyConnection &) = delete;
    ReadOnlyConnection &operator=(const ReadOnlyConnection &) = delete;

    // Hands the engine the key and makes the first read, which is where it is checked.
    bool opensWith(const QByteArray &key);
    // The engine's words on the last failure.
    QString lastError() const;
    sqlite3 *handle() const { return m_db; }

private:
    explicit ReadOnlyConnection(sqlite3 *db) : m_db(db) {}
    sqlite3 *m_db;
};

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
    int columnCount() const;
    qint64 int64(int column) const;
    // NULL reads as a null QString, an empty text as an empty one.
    QString text(int column) const;
    // The stored bytes as they are, for binding them back exactly.
    QByteArray bytes(int column) const;

private:
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace zorbin::store
