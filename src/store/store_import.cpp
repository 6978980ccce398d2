// Appending whole tables in one transaction, for the database converter.

#include "store/engineerror.h"
#include "store/sqlite.h"
#include "store/store.h"

#include <sqlite3.h>

namespace zorbin::store {

namespace {

struct ImportShape
{
    const char *what;
    const char *sql;
    int columns;
};

const ImportShape &shape(Store::ImportTable table)
{
    static const ImportShape shapes[] = {
        {"Table_User",
         "INSERT INTO Table_User (UserName, Password, Question, Answer) VALUES (?1,?2,?3,?4)", 4},
        {"Table_Site",
         "INSERT INTO Table_Site (Onvan, Address, Mozoo, Email, Modir, Mobile, Yahoo, Facebook, "
         "\"User\", Pass, Tozihat, Gmail, Twitter, Google, Rss) "
         "VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14,?15)",
         15},
        {"Table_Category", "INSERT INTO Table_Category (Category) VALUES (?1)", 1},
        {"Table_Contact",
         "INSERT INTO Table_Contact (Name, \"Group\", Mobile, Home, Office, Email, Site, Job, "
         "Address, Image) VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10)",
         10},
    };
    return shapes[static_cast<int>(table)];
}

} // namespace

Result<Store::Import> Store::beginImport()
{
    if (!sqlite3_get_autocommit(m_db))
        return failure(StoreError::Kind::Engine, QStringLiteral("a transaction is already open"));
    // IMMEDIATE takes the write lock now, so a locked file is reported before any row.
    if (sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return std::unexpected(engineError());
    Import import(*this);
    // A small page cache while appending: the pages written spill to the file, so memory
    // stays the same however many records arrive. The usual cache returns at the end.
    {
        Statement st(m_db, "PRAGMA cache_size");
        if (st.step() == SQLITE_ROW)
            import.m_cacheSize = st.int64(0);
    }
    sqlite3_exec(m_db, "PRAGMA cache_size = -8192", nullptr, nullptr, nullptr);
    return import;
}

Store::Import::Import(Store &store) : m_store(&store) {}

Store::Import::Import(Import &&other) noexcept
    : m_store(std::exchange(other.m_store, nullptr)), m_inserts(std::move(other.m_inserts)),
      m_cacheSize(other.m_cacheSize)
{
}

Store::Import::~Import()
{
    rollback();
}

int Store::Import::columnCount(ImportTable table)
{
    return shape(table).columns;
}

void Store::Import::rollback()
{
    for (auto &st : m_inserts)
        st.reset();
    if (m_store && !sqlite3_get_autocommit(m_store->m_db))
        sqlite3_exec(m_store->m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    end();
}

void Store::Import::end()
{
    if (m_store) {
        const QByteArray sql = "PRAGMA cache_size = " + QByteArray::number(m_cacheSize);
        sqlite3_exec(m_store->m_db, sql.constData(), nullptr, nullptr, nullptr);
    }
    m_store = nullptr;
}

Result<void> Store::Import::engineFailure(const char *what)
{
    // Read before the rollback, which sets the engine's last error anew.
    const auto failed = store::engineFailure(m_store->m_db, what);
    rollback();
    return failed;
}

Result<void> Store::Import::append(ImportTable table, std::span<const QString> values)
{
    const ImportShape &s = shape(table);
    if (!m_store)
        return failure(StoreError::Kind::Engine, QStringLiteral("the transaction has ended"));
    if (int(values.size()) != s.columns) {
        const QString detail = QStringLiteral("%1: %2 values for %3 columns")
                                   .arg(QString::fromLatin1(s.what))
                                   .arg(values.size())
                                   .arg(s.columns);
        rollback();
        return failure(StoreError::Kind::Engine, detail);
    }
    auto &st = m_inserts[size_t(table)];
    if (!st) {
        st = std::make_unique<Statement>(m_store->m_db, s.sql);
        if (!st->ok())
            return engineFailure(s.what);
    }
    st->reset();
    static const QByteArray empty("");
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i].isEmpty())
            st->bindUtf8(int(i) + 1, empty);
        else
            st->bindUtf8(int(i) + 1, values[i].toUtf8());
    }
    if (st->step() != SQLITE_DONE)
        return engineFailure(s.what);
    return {};
}

Result<void> Store::Import::commit()
{
    if (!m_store)
        return failure(StoreError::Kind::Engine, QStringLiteral("the transaction has ended"));
    for (auto &st : m_inserts)
        st.reset();
    if (sqlite3_exec(m_store->m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        return engineFailure("commit");
    end();
    return {};
}

} // namespace zorbin::store
