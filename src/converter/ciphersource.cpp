// The reader for version 1.0 databases of the current engine: the same four tables,
// encrypted with the version 1.0 password. Opened read-only, so the source is never
// changed.

#include "converter/source.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <cmath>
#include <sqlite3.h>

namespace zorbin::converter {

namespace {

QByteArray quoted(const QString &name)
{
    QByteArray q = name.toUtf8();
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

constexpr qint64 kSmallestPage = 512;

// Whether the key opens the database: it is checked on the first read.
bool opensWith(sqlite3 *db, const char *password)
{
    const QByteArray key(password);
    sqlite3_key(db, key.constData(), int(key.size()));
    sqlite3_stmt *stmt = nullptr;
    const bool readable = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &stmt,
                                             nullptr) == SQLITE_OK &&
                          sqlite3_step(stmt) == SQLITE_ROW;
    sqlite3_finalize(stmt);
    return readable;
}

// An encrypted database is pages of what looks like random bytes from its first byte
// on; a text is not, and a picture or an archive starts with its format's name.
// Without the key this is all that can be told.
bool looksEncrypted(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray page = file.read(4096);
    for (const char *magic : {"PK\x03\x04", "\xff\xd8\xff", "\x89PNG", "%PDF", "GIF8", "\x1f\x8b",
                              "7z\xbc\xaf", "Rar!", "BZh"})
        if (page.startsWith(magic))
            return false;
    std::array<int, 256> counts{};
    for (char c : page)
        ++counts[static_cast<unsigned char>(c)];
    double bits = 0;
    for (int n : counts)
        if (n > 0) {
            const double p = double(n) / double(page.size());
            bits -= p * std::log2(p);
        }
    // Random bytes give close to 8 bits a byte even on one small page (about 7.6 on
    // 512 bytes); text gives about 5.
    return bits > 7.0;
}

class CipherCursor : public SourceCursor
{
public:
    CipherCursor(sqlite3 *db, sqlite3_stmt *stmt, QString table)
        : m_db(db), m_stmt(stmt), m_table(std::move(table))
    {
    }
    ~CipherCursor() override { sqlite3_finalize(m_stmt); }

    bool next(std::vector<QString> &values) override
    {
        if (!m_stmt)
            return false;
        const int rc = sqlite3_step(m_stmt);
        if (rc != SQLITE_ROW) {
            if (rc != SQLITE_DONE)
                m_error = QStringLiteral("%1 cannot be read: %2")
                              .arg(m_table, QString::fromUtf8(sqlite3_errmsg(m_db)));
            sqlite3_finalize(m_stmt);
            m_stmt = nullptr;
            return false;
        }
        const int count = sqlite3_column_count(m_stmt);
        values.resize(size_t(count));
        for (int i = 0; i < count; ++i) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i));
            const int size = sqlite3_column_bytes(m_stmt, i);
            values[size_t(i)] = text ? QString::fromUtf8(text, size) : QString();
        }
        return true;
    }

    QString error() const override { return m_error; }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt;
    QString m_table;
    QString m_error;
};

class CipherSource : public Source
{
public:
    explicit CipherSource(sqlite3 *db) : m_db(db) {}
    ~CipherSource() override { sqlite3_close_v2(m_db); }

    QString kind() const override { return QStringLiteral("version 1.0 database"); }

    std::optional<QStringList> fields(const QString &table) override
    {
        const QByteArray sql = "PRAGMA table_info(" + quoted(table) + ")";
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            sqlite3_finalize(stmt);
            return std::nullopt;
        }
        QStringList names;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            names << QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1)));
        sqlite3_finalize(stmt);
        if (names.isEmpty())
            return std::nullopt;
        return names;
    }

    std::unique_ptr<SourceCursor> read(const QString &table, const QStringList &fields,
                                       QString *error) override
    {
        QByteArray sql = "SELECT ";
        for (qsizetype i = 0; i < fields.size(); ++i)
            sql += (i ? ", " : "") + quoted(fields[i]);
        // The rowid order is the order in which the records were added.
        sql += " FROM " + quoted(table);
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            *error = QStringLiteral("%1 cannot be read: %2")
                         .arg(table, QString::fromUtf8(sqlite3_errmsg(m_db)));
            sqlite3_finalize(stmt);
            return nullptr;
        }
        return std::make_unique<CipherCursor>(m_db, stmt, table);
    }

private:
    sqlite3 *m_db;
};

} // namespace

std::unique_ptr<Source> openCipherFile(const QString &path, Refusal *error)
{
    sqlite3 *db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        *error = {Refusal::Kind::Other, QStringLiteral("The file cannot be opened: %1")
                                            .arg(QString::fromUtf8(sqlite3_errmsg(db)))};
        sqlite3_close_v2(db);
        return nullptr;
    }
    if (opensWith(db, kVersion1Password))
        return std::make_unique<CipherSource>(db);
    sqlite3_close_v2(db);
    // The current format's password: a backup Zorbin restores as it is.
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        opensWith(db, kVersion2Password)) {
        sqlite3_close_v2(db);
        *error = {Refusal::Kind::AlreadyVersion2,
                  QStringLiteral("The file opens with the version 2.0 password.")};
        return nullptr;
    }
    sqlite3_close_v2(db);
    if (looksEncrypted(path) && QFileInfo(path).size() % kSmallestPage != 0) {
        *error = {Refusal::Kind::Damaged,
                  QStringLiteral("The file looks like an encrypted database cut short: it does "
                                 "not end on a whole page.")};
        return nullptr;
    }
    if (looksEncrypted(path)) {
        *error = {Refusal::Kind::WrongPassword,
                  QStringLiteral("The file looks like an encrypted database, but it opens with "
                                 "neither the version 1.0 nor the version 2.0 password of "
                                 "Zorbin.")};
        return nullptr;
    }
    *error = {Refusal::Kind::NotADatabase,
              QStringLiteral("The file is neither an Access database nor an encrypted "
                             "database.")};
    return nullptr;
}

std::unique_ptr<Source> openSource(const QString &path, Refusal *error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = {Refusal::Kind::Other, QStringLiteral("The file %1 does not exist.").arg(path)};
        return nullptr;
    }
    if (info.isDir()) {
        *error = {Refusal::Kind::Other,
                  QStringLiteral("%1 is a folder, not a database file.").arg(path)};
        return nullptr;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = {Refusal::Kind::Other,
                  QStringLiteral("The file cannot be read: %1").arg(file.errorString())};
        return nullptr;
    }
    const QByteArray head = file.read(0x100);
    file.close();
    if (head.isEmpty()) {
        *error = {Refusal::Kind::NotADatabase, QStringLiteral("The file is empty.")};
        return nullptr;
    }
    if (head.size() >= 19 &&
        (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB"))
        return openJetFile(path, error);
    if (head.startsWith(QByteArray("SQLite format 3\0", 16))) {
        *error = {Refusal::Kind::Other,
                  QStringLiteral("The file is an unencrypted database, not a Zorbin database.")};
        return nullptr;
    }
    // Smaller than one page: the engine would take it for a new, empty database.
    if (info.size() < kSmallestPage) {
        *error = {Refusal::Kind::NotADatabase,
                  QStringLiteral("The file is neither an Access database nor an encrypted "
                                 "database.")};
        return nullptr;
    }
    return openCipherFile(path, error);
}

} // namespace zorbin::converter
