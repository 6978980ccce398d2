#include "helpers/rawdb.h"

#include "store/connectiontext.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

RawDb::RawDb(const QString &dataFolder)
{
    const QByteArray path = QFile::encodeName(
        QDir(dataFolder).filePath(QString::fromLatin1(zorbin::store::kDatabaseFileName)));
    if (sqlite3_open_v2(path.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(m_db);
        m_db = nullptr;
        return;
    }
    const QByteArray key(zorbin::store::kDatabasePassword);
    sqlite3_key(m_db, key.constData(), int(key.size()));
    sqlite3_busy_timeout(m_db, 2000);
}

RawDb::~RawDb()
{
    sqlite3_close(m_db);
}

bool RawDb::exec(const char *sql, const QStringList &values)
{
    sqlite3_stmt *st = nullptr;
    if (!m_db || sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr) != SQLITE_OK)
        return false;
    for (int i = 0; i < values.size(); ++i) {
        const QByteArray utf8 = values[i].toUtf8();
        sqlite3_bind_text(st, i + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    return rc == SQLITE_DONE || rc == SQLITE_ROW;
}
