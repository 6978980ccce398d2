// The reader for version 1.0 databases of the current engine: the same four tables,
// encrypted with the version 1.0 password. Opened read-only, so the source is never
// changed.

#include "converter/source.h"
#include "store/sqlite.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <cmath>

namespace zorbin::converter {

namespace {

QByteArray quoted(const QString &name)
{
    QByteArray q = name.toUtf8();
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

constexpr qint64 kSmallestPage = 512;

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
    CipherCursor(const store::ReadOnlyConnection &db, std::unique_ptr<store::Statement> st,
                 QString table)
        : m_db(db), m_st(std::move(st)), m_table(std::move(table))
    {
    }

    bool next(std::vector<QString> &values) override
    {
        if (!m_st)
            return false;
        const int rc = m_st->step();
        if (rc != SQLITE_ROW) {
            if (rc != SQLITE_DONE)
                m_error = QStringLiteral("%1 cannot be read: %2").arg(m_table, m_db.lastError());
            m_st.reset();
            return false;
        }
        const int count = m_st->columnCount();
        values.resize(size_t(count));
        for (int i = 0; i < count; ++i)
            values[size_t(i)] = m_st->text(i);
        return true;
    }

    QString error() const override { return m_error; }

private:
    const store::ReadOnlyConnection &m_db;
    std::unique_ptr<store::Statement> m_st;
    QString m_table;
    QString m_error;
};

class CipherSource : public Source
{
public:
    explicit CipherSource(std::unique_ptr<store::ReadOnlyConnection> db) : m_db(std::move(db)) {}

    QString kind() const override { return QStringLiteral("version 1.0 database"); }

    std::optional<QStringList> fields(const QString &table) override
    {
        const QByteArray sql = "PRAGMA table_info(" + quoted(table) + ")";
        store::Statement st(m_db->handle(), sql.constData());
        if (!st.ok())
            return std::nullopt;
        QStringList names;
        while (st.step() == SQLITE_ROW)
            names << st.text(1);
        if (names.isEmpty())
            return std::nullopt;
        return names;
    }

    Result<std::unique_ptr<SourceCursor>> read(const QString &table,
                                               const QStringList &fields) override
    {
        QByteArray sql = "SELECT ";
        for (qsizetype i = 0; i < fields.size(); ++i)
            sql += (i ? ", " : "") + quoted(fields[i]);
        // The rowid order is the order in which the records were added.
        sql += " FROM " + quoted(table);
        auto st = std::make_unique<store::Statement>(m_db->handle(), sql.constData());
        if (!st->ok()) {
            return std::unexpected(
                Refusal{Refusal::Kind::Other,
                        QStringLiteral("%1 cannot be read: %2").arg(table, m_db->lastError())});
        }
        return std::make_unique<CipherCursor>(*m_db, std::move(st), table);
    }

private:
    std::unique_ptr<store::ReadOnlyConnection> m_db;
};

} // namespace

Result<std::unique_ptr<Source>> openCipherFile(const QString &path)
{
    auto db = store::ReadOnlyConnection::open(path);
    if (!db) {
        return std::unexpected(
            Refusal{Refusal::Kind::Other,
                    QStringLiteral("The file cannot be opened: %1").arg(db.error().detail)});
    }
    if ((*db)->opensWith(QByteArray(kVersion1Password)))
        return std::make_unique<CipherSource>(std::move(*db));
    db->reset();
    // The current format's password: a backup Zorbin restores as it is.
    if (auto again = store::ReadOnlyConnection::open(path);
        again && (*again)->opensWith(QByteArray(kVersion2Password))) {
        return std::unexpected(
            Refusal{Refusal::Kind::AlreadyVersion2,
                    QStringLiteral("The file opens with the version 2.0 password.")});
    }
    if (looksEncrypted(path) && QFileInfo(path).size() % kSmallestPage != 0) {
        return std::unexpected(
            Refusal{Refusal::Kind::Damaged,
                    QStringLiteral("The file looks like an encrypted database cut short: it does "
                                   "not end on a whole page.")});
    }
    if (looksEncrypted(path)) {
        return std::unexpected(
            Refusal{Refusal::Kind::WrongPassword,
                    QStringLiteral("The file looks like an encrypted database, but it opens with "
                                   "neither the version 1.0 nor the version 2.0 password of "
                                   "Zorbin.")});
    }
    return std::unexpected(
        Refusal{Refusal::Kind::NotADatabase,
                QStringLiteral("The file is neither an Access database nor an encrypted "
                               "database.")});
}

Result<std::unique_ptr<Source>> openSource(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        return std::unexpected(
            Refusal{Refusal::Kind::Other, QStringLiteral("The file %1 does not exist.").arg(path)});
    }
    if (info.isDir()) {
        return std::unexpected(
            Refusal{Refusal::Kind::Other,
                    QStringLiteral("%1 is a folder, not a database file.").arg(path)});
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::unexpected(
            Refusal{Refusal::Kind::Other,
                    QStringLiteral("The file cannot be read: %1").arg(file.errorString())});
    }
    const QByteArray head = file.read(0x100);
    file.close();
    if (head.isEmpty()) {
        return std::unexpected(
            Refusal{Refusal::Kind::NotADatabase, QStringLiteral("The file is empty.")});
    }
    if (head.size() >= 19 &&
        (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB"))
        return openJetFile(path);
    if (head.startsWith(QByteArray("SQLite format 3\0", 16))) {
        return std::unexpected(
            Refusal{Refusal::Kind::Other,
                    QStringLiteral("The file is an unencrypted database, not a Zorbin database.")});
    }
    // Smaller than one page: the engine would take it for a new, empty database.
    if (info.size() < kSmallestPage) {
        return std::unexpected(
            Refusal{Refusal::Kind::NotADatabase,
                    QStringLiteral("The file is neither an Access database nor an encrypted "
                                   "database.")});
    }
    return openCipherFile(path);
}

} // namespace zorbin::converter
