#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

// A connection of the test's own to a data folder's database, beside the store's, for
// what no store call does: breaking a table, planting rows with chosen IDs.
class RawDb
{
public:
    explicit RawDb(const QString &dataFolder);
    ~RawDb();
    RawDb(const RawDb &) = delete;
    RawDb &operator=(const RawDb &) = delete;

    bool ok() const { return m_db != nullptr; }
    // Runs one statement with the texts bound to ?1, ?2...; true when it succeeded.
    bool exec(const char *sql, const QStringList &values = {});
    sqlite3 *handle() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
};
