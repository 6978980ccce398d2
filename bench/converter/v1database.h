#pragma once

// Makes version 1.0 databases of the current engine for the converter's tests and
// benchmark: the four tables of version 1.0 (no Gmail, Twitter, Google, Rss), encrypted
// with the version 1.0 password, filled row by row through a callback.

#include "converter/source.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <functional>
#include <sqlite3.h>

namespace zorbin::benchdata {

inline const char *const kVersion1Schema[] = {
    "CREATE TABLE Table_User (UserName TEXT, Password TEXT, Question TEXT, Answer TEXT)",
    "CREATE TABLE Table_Site (ID INTEGER PRIMARY KEY AUTOINCREMENT, Onvan TEXT, Address TEXT, "
    "Mozoo TEXT, Email TEXT, Modir TEXT, Mobile TEXT, Yahoo TEXT, Facebook TEXT, \"User\" TEXT, "
    "Pass TEXT, Tozihat TEXT)",
    "CREATE TABLE Table_Category (ID INTEGER PRIMARY KEY AUTOINCREMENT, Category TEXT)",
    "CREATE TABLE Table_Contact (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, \"Group\" "
    "TEXT, Mobile TEXT, Home TEXT, Office TEXT, Email TEXT, Site TEXT, Job TEXT, Address TEXT, "
    "Image TEXT)",
};

inline const char *const kVersion1Inserts[] = {
    "INSERT INTO Table_User VALUES (?1,?2,?3,?4)",
    "INSERT INTO Table_Site (Onvan, Address, Mozoo, Email, Modir, Mobile, Yahoo, Facebook, "
    "\"User\", Pass, Tozihat) VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11)",
    "INSERT INTO Table_Category (Category) VALUES (?1)",
    "INSERT INTO Table_Contact (Name, \"Group\", Mobile, Home, Office, Email, Site, Job, Address, "
    "Image) VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10)",
};

// Rows of one table: `row(i, values)` fills the values of row i (a null QString is
// stored as NULL).
struct TableRows
{
    qint64 count = 0;
    std::function<void(qint64, QStringList &)> row;
};

// Writes the database; `rows` in the order User, Site, Category, Contact. `extra` runs
// after the schema (to drop a table or add a column). Returns false on any failure.
inline bool
makeVersion1Database(const QString &path, const TableRows (&rows)[4],
                     const QByteArray &password = QByteArray(zorbin::converter::kVersion1Password),
                     const char *extra = nullptr)
{
    QFile::remove(path);
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    bool ok = password.isEmpty() ||
              sqlite3_key(db, password.constData(), int(password.size())) == SQLITE_OK;
    ok = ok && sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    for (const char *sql : kVersion1Schema)
        ok = ok && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    if (extra)
        ok = ok && sqlite3_exec(db, extra, nullptr, nullptr, nullptr) == SQLITE_OK;
    for (int t = 0; t < 4 && ok; ++t) {
        if (rows[t].count == 0)
            continue;
        sqlite3_stmt *st = nullptr;
        ok = sqlite3_prepare_v2(db, kVersion1Inserts[t], -1, &st, nullptr) == SQLITE_OK;
        QStringList values;
        for (qint64 i = 0; ok && i < rows[t].count; ++i) {
            values.clear();
            rows[t].row(i, values);
            sqlite3_reset(st);
            for (int c = 0; c < values.size(); ++c) {
                if (values[c].isNull()) {
                    sqlite3_bind_null(st, c + 1);
                } else {
                    const QByteArray utf8 = values[c].toUtf8();
                    sqlite3_bind_text(st, c + 1, utf8.constData(), int(utf8.size()),
                                      SQLITE_TRANSIENT);
                }
            }
            ok = sqlite3_step(st) == SQLITE_DONE;
        }
        sqlite3_finalize(st);
    }
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

} // namespace zorbin::benchdata
