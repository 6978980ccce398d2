#include "helpers/testfiles.h"

#include "helpers/rawdb.h"
#include "store/sqlite.h"

#include <QFile>
#include <QtTest>
#include <sqlite3.h>
#include <sys/stat.h>

int fileMode(const QString &path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 07777);
}

void makeDb(const QString &path, const QByteArray &key, const QList<QByteArray> &statements)
{
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    if (!key.isEmpty())
        sqlite3_key(db, key.constData(), int(key.size()));
    for (const QByteArray &s : statements)
        QCOMPARE(sqlite3_exec(db, s.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

QList<QStringList> rawRows(const QString &dataFolder, const char *sql, int columns)
{
    QList<QStringList> out;
    RawDb raw(dataFolder);
    if (!raw.ok())
        return out;
    zorbin::store::Statement st(raw.handle(), sql);
    while (st.step() == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < columns; ++i)
            row << st.text(i);
        out << row;
    }
    return out;
}
