#pragma once

#include "store/records.h"
#include "store/result.h"

#include <QString>
#include <QVector>
#include <memory>
#include <optional>

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
    static Result<void> createDatabase(const QString &path);

    static const QString &defaultUserName();
    static const QString &defaultPassword();

    // Every call below answers for itself: the value, or why it failed. Nothing is
    // remembered between calls.

    // Sites
    Result<QVector<qint64>> siteIds();
    Result<QVector<qint64>> searchSites(SearchColumn column, const QString &prefix);
    // NotFound when no site has this ID.
    Result<SiteListRow> siteListRow(qint64 id);
    Result<SiteRecord> site(qint64 id);
    Result<bool> siteTitleExists(const QString &title);
    Result<qint64> insertSite(const SiteRecord &record);
    Result<void> updateSite(const SiteRecord &record);
    Result<void> deleteSite(qint64 id);
    Result<qint64> siteCount();

    // Subjects
    Result<QVector<CategoryRecord>> categories();
    Result<CategoryRecord> category(qint64 id);
    Result<bool> categoryExists(const QString &title);
    Result<qint64> addCategory(const QString &title);
    Result<void> renameCategory(qint64 id, const QString &title);
    Result<void> deleteCategory(qint64 id);
    Result<qint64> categoryCount();

    // Accounts and contacts
    Result<QVector<UserRecord>> users();
    Result<qint64> contactCount();

private:
    explicit Store(sqlite3 *db, QString path);
    // The engine's words for the statement that just failed.
    StoreError engineError() const;
    // The outcome of a change meant for exactly one record.
    Result<void> changedOne(int rc, qint64 id);
    // A statement that should give one row: NotFound when it gave none.
    Result<void> rowOrError(int rc, qint64 id) const;
    // Whether a statement gave a row at all.
    Result<bool> anyRow(int rc) const;
    Result<qint64> count(const char *sql);
    Statement &cached(int slot, const QByteArray &sql);

    sqlite3 *m_db = nullptr;
    QString m_path;
    QVector<qint64> m_collected; // filled by the engine during an ID query
    std::vector<std::unique_ptr<Statement>> m_statements;
};

} // namespace zorbin::store
