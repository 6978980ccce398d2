#pragma once

#include "store/records.h"
#include "store/result.h"

#include <QString>
#include <QVector>
#include <array>
#include <memory>
#include <optional>
#include <span>

struct sqlite3;

namespace zorbin::store {

class Statement;

// Why the database could not be opened. Each has its own message for the user.
enum class OpenError {
    None,
    CannotCreate,  // no file and none could be made (read-only folder, full disk)
    NotReadable,   // no permission to read the file
    ReadOnly,      // file or folder cannot be written
    OldFormat,     // a database of the previous version
    NotEncrypted,  // an SQLite file without the password
    WrongPassword, // encrypted with another password, or not a database at all
    MissingTable,  // a table is missing
    WrongColumns,  // a table lacks a column or has them in another order
    BadConnection, // the connection text names no file
    Failed         // anything else the engine reported
};

struct OpenResult
{
    OpenError error = OpenError::None;
    QString detail; // table name or engine message
};

// The one connection of the process to the encrypted database file, with the typed
// operations the windows need. Every user text is bound as a parameter.
class Store
{
public:
    ~Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    // Opens the database the connection text names, checking the password, the four
    // tables and their column orders, and that the file can be written.
    static std::unique_ptr<Store> open(const QString &connectionText, OpenResult *result);

    // The two halves of open(): connect() checks the file and hands the engine the
    // password, which is cheap; verify() makes the first read, which derives the key
    // (tens of milliseconds), and checks the tables. Nothing else may be called between.
    static std::unique_ptr<Store> connect(const QString &connectionText, OpenResult *result);
    bool verify(OpenResult *result);

    // Makes the new-installation database: the four tables and the default account.
    static bool createDatabase(const QString &path, QString *error);

    static const QString &defaultUserName();
    static const QString &defaultPassword();

    // Whether the last operation failed, and the engine's words for the last failure.
    bool failed() const { return m_failed; }
    QString lastError() const { return m_lastError; }
    sqlite3 *handle() const { return m_db; }

    // Sites
    QVector<qint64> siteIds();
    QVector<qint64> searchSites(SearchColumn column, const QString &prefix);
    std::optional<SiteListRow> siteListRow(qint64 id);
    std::optional<SiteRecord> site(qint64 id);
    bool siteTitleExists(const QString &title);
    std::optional<qint64> insertSite(const SiteRecord &record);
    bool updateSite(const SiteRecord &record);
    bool deleteSite(qint64 id);
    qint64 siteCount();

    // Subjects
    QVector<CategoryRecord> categories();
    std::optional<CategoryRecord> category(qint64 id);
    bool categoryExists(const QString &title);
    std::optional<qint64> addCategory(const QString &title);
    bool renameCategory(qint64 id, const QString &title);
    bool deleteCategory(qint64 id);
    qint64 categoryCount();

    // Accounts and contacts
    QVector<UserRecord> users();
    qint64 contactCount();

    // ---- Appending whole tables in one transaction (the database converter) ----
    // The four tables records are appended to.
    enum class ImportTable { User, Site, Category, Contact };

    // One open transaction of appended records, each table through one prepared
    // statement. Nothing reaches the file unless commit() succeeds: a failed append, a
    // failed commit or an Import dropped before its commit rolls every append back.
    class Import
    {
    public:
        Import(Import &&other) noexcept;
        Import &operator=(Import &&) = delete;
        ~Import();

        // The number of values each append of `table` takes: its columns without ID.
        static int columnCount(ImportTable table);
        // Appends one record after what the table holds. `values` follow the table's
        // column order without ID; a null text is stored as empty text.
        Result<void> append(ImportTable table, std::span<const QString> values);
        Result<void> commit();

    private:
        friend class Store;
        explicit Import(Store &store);
        Result<void> engineFailure(const char *what);
        void rollback();
        void end();

        Store *m_store = nullptr;
        std::array<std::unique_ptr<Statement>, 4> m_inserts;
        qint64 m_cacheSize = -2000; // the connection's page cache before the import
    };

    // Opens the transaction; fails when one is open already or the file is locked.
    Result<Import> beginImport();

private:
    explicit Store(sqlite3 *db, QString path);
    bool fail(const char *what);
    void begin() { m_failed = false; }
    bool rowOrFail(int rc, const char *what);
    // The outcome of a change meant for exactly one record.
    bool changedOne(int rc, const char *what, qint64 id);
    qint64 count(const char *sql);
    Statement &cached(int slot, const QByteArray &sql);

    sqlite3 *m_db = nullptr;
    QString m_path;
    QString m_lastError;
    bool m_failed = false;
    QVector<qint64> m_collected; // filled by the engine during an ID query
    std::vector<std::unique_ptr<Statement>> m_statements;
};

} // namespace zorbin::store
