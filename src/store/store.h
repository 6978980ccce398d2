#pragma once

#include "store/contactrecords.h"
#include "store/records.h"
#include "store/result.h"

#include <QString>
#include <QVector>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>

struct sqlite3;

namespace zorbin::store {

class Statement;

// The one connection of the process to the encrypted database file, with the typed
// operations the windows need. Every user text is bound as a parameter.
class Store
{
public:
    ~Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    // Opens the database the connection text names, checking the password, the four
    // tables and their column orders, and that the file can be written; then adds the
    // search indexes the file lacks (see ensureIndexes()). A failure's kind is one of the
    // open kinds of StoreError.
    static Result<std::unique_ptr<Store>> open(const QString &connectionText);

    // The two halves of open(): connect() checks the file and hands the engine the
    // password, which is cheap; verify() makes the first read, which derives the key
    // (tens of milliseconds), and checks the tables. Nothing else may be called between.
    // verify() makes no index: the caller does, with progress shown on a large file.
    static Result<std::unique_ptr<Store>> connect(const QString &connectionText);
    Result<void> verify();

    // Makes the new-installation database: the four tables and the default account.
    static Result<void> createDatabase(const QString &path);

    // Adds the search indexes a file made elsewhere may lack. open() calls it and keeps a
    // failure in indexProblem() without failing: lists and counts then read the table.
    // `progress`, when given, is called now and then with the indexes made so far and how
    // many were missing; it answers false to stop, which fails the call with what was made
    // kept (each index is made whole or not at all), so the next call goes on from there.
    Result<void> ensureIndexes(const std::function<bool(int done, int total)> &progress = {});
    // How many of the search indexes the file lacks (0 when the check itself fails).
    int missingIndexCount();
    QString indexProblem() const { return m_indexProblem; }
    void setIndexProblem(const QString &problem) { m_indexProblem = problem; }

    // Runs `work` in one transaction: everything it changed is kept when it succeeds and
    // nothing when it fails. Many inserts in a row run far faster inside one. Inside
    // another transaction `work` simply joins it.
    Result<void> inTransaction(const std::function<Result<void>()> &work);

    // Gives back the memory of the decrypted pages the engine keeps (after printing a long
    // list, say); they are read again when needed.
    void releaseMemory();

    static const QString &defaultUserName();
    static const QString &defaultPassword();

    // Every call below answers for itself: the value, or why it failed. Nothing is
    // remembered between calls.

    // Sites
    Result<QVector<qint64>> siteIds();
    // At most `limit` site IDs above `after`, in order: a long list read a slice at a time,
    // the first screen first.
    Result<QVector<qint64>> siteIdsAfter(qint64 after, int limit);
    Result<QVector<qint64>> searchSites(SearchColumn column, const QString &prefix);
    // The first `wanted` records whose column begins with the prefix of `search` (not read
    // yet), in ID order, found by reading at most `scanned` records in ID order: the first
    // screen of a search that matches many, without reading all of them. Fewer than
    // `wanted` IDs and not `whole`: the matches are too sparse for this, the whole search
    // (searchSites(), searchContacts()) answers faster.
    Result<SearchHead> searchHead(const SearchSlices &search, int wanted, int scanned);
    // Reads at most `limit` more IDs of `search`: true when it is whole, its IDs then
    // sorted as the whole search gives them. A file without the column's index is read at
    // once.
    Result<bool> searchSlice(SearchSlices &search, int limit);
    // The highest ID of the search's table, 0 when it is empty: a cheap bound on the
    // number of its records.
    Result<qint64> maxId(const SearchSlices &search);
    // NotFound when no site has this ID.
    Result<SiteListRow> siteListRow(qint64 id);
    // The list rows of the sites `ids` names (the grid reads a block of neighbouring rows at
    // a time), in ascending ID order, by one statement; a site gone meanwhile is left out.
    Result<QVector<SiteListRow>> siteListRows(const QVector<qint64> &ids);
    // Hands `sink` the list rows of `ids` (ascending, as the lists give them) one at a time
    // and in that order, read by one statement in one read transaction, none of them kept;
    // a site gone meanwhile is skipped. `sink` answers false to stop early.
    Result<void> forEachSiteListRow(const QVector<qint64> &ids,
                                    const std::function<bool(const SiteListRow &)> &sink);
    // The same for IDs already ascending without repeats, read where they are: a long
    // list's report reads its rows from any page's first row on, many times.
    Result<void> forEachSiteListRow(std::span<const qint64> ascendingIds,
                                    const std::function<bool(const SiteListRow &)> &sink);
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

    // ---- Phone book (store_contacts.cpp) ----
    // Contact IDs in ID order.
    Result<QVector<qint64>> contactIds();
    // IDs of the contacts whose name (or mobile) starts with `prefix`, in ID order, folded
    // as the site search folds (case, ي/ی, ك/ک, Persian and Arabic-Indic digits). An empty
    // prefix gives every contact.
    Result<QVector<qint64>> searchContacts(ContactSearchColumn column, const QString &prefix);
    // One row of the phone book grid; NotFound when the contact is gone.
    Result<ContactListRow> contactListRow(qint64 id);
    // The grid rows for `ids`, in that order (the report prints them); a missing ID is skipped.
    Result<QVector<ContactListRow>> contactListRows(const QVector<qint64> &ids);
    // The contact with exactly this ID; NotFound when there is none.
    Result<ContactRecord> contact(qint64 id);
    // Whether a stored contact has exactly this mobile, after trimming blanks off `mobile`.
    // An empty mobile never counts as taken.
    Result<bool> contactMobileExists(const QString &mobile);
    // How many contacts other than `exceptId` have exactly this mobile as stored (a NULL
    // mobile counts as an empty one): they share its picture file.
    Result<qint64> contactsWithMobile(const QString &mobile, qint64 exceptId);
    // Stores fields 1 to 10 as given (the caller trims) and returns the new ID.
    Result<qint64> insertContact(const ContactRecord &record);
    // Rewrites fields 1 to 10 of record.id; NotFound when it is gone.
    Result<void> updateContact(const ContactRecord &record);
    Result<void> deleteContact(qint64 id);

    // ---- Accounts (accounts.cpp) ----
    // Writes password, question and answer, each trimmed of blanks, to the first account;
    // the user name stays. NotFound when there is no account.
    Result<void> updateFirstAccount(const QString &password, const QString &question,
                                    const QString &answer);
    // The first account's password when `question` and `answer`, trimmed of blanks, equal
    // its stored question and answer exactly; nothing when they do not. A stored question
    // or answer that is NULL or empty (never set) never matches; no account never matches.
    Result<std::optional<QString>> recoverPassword(const QString &question, const QString &answer);

    // ---- Statistics (accounts.cpp) ----
    Result<RecordCounts> recordCounts();

    // ---- Backup and restore (backup.cpp) ----
    // Writes a consistent copy of the open database to exactly `path` (no extension added),
    // through SQLite's online backup into a 0600 file beside it, renamed into place at the
    // end; an existing file there is replaced. Nothing is left under `path` on failure.
    Result<void> backupTo(const QString &path);
    // Replaces this store's database file with the backup at `backupPath`. The backup is
    // copied beside the database and checked there as open() checks a database (password,
    // four tables, columns), then every page of it is read (SQLite's quick check); a file
    // that fails is refused (the failure's kind is an open kind saying why, the database
    // untouched).
    // Otherwise a consistent dated copy of the current database is kept beside it (its
    // name in the result) and the checked copy is renamed over the database file in one
    // step. Afterwards this store still reads the replaced data and must not be written
    // to: the program ends and the next start opens the restored file. An I/O failure has
    // another kind (isOpenError() false). `working`, when given, is called often while the
    // files are copied and checked, so that a caller can keep its window drawn.
    Result<RestoreDone> restoreFrom(const QString &backupPath,
                                    const std::function<void()> &working = {});

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
    // BEGIN (deferred for reads, IMMEDIATE for writes) unless a transaction is open
    // already; true when this call opened one, which the caller then ends.
    Result<bool> beginUnlessOpen(bool write);
    void endTransaction(bool commit);

    sqlite3 *m_db = nullptr;
    QString m_path;
    QString m_indexProblem;
    QVector<qint64> m_collected; // filled by the engine during an ID query
    std::vector<std::unique_ptr<Statement>> m_statements;
};

} // namespace zorbin::store
