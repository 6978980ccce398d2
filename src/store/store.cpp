#include "store/store.h"

#include "store/connectiontext.h"
#include "store/engineerror.h"
#include "store/fold.h"
#include "store/prefixsearch.h"
#include "store/sqlite.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sqlite3.h>
#include <utility>

namespace zorbin::store {

const QStringList &siteColumns()
{
    static const QStringList c{"ID",     "Onvan",   "Address",  "Mozoo", "Email", "Modir",
                               "Mobile", "Yahoo",   "Facebook", "User",  "Pass",  "Tozihat",
                               "Gmail",  "Twitter", "Google",   "Rss"};
    return c;
}

const QStringList &categoryColumns()
{
    static const QStringList c{"ID", "Category"};
    return c;
}

const QStringList &contactColumns()
{
    static const QStringList c{"ID",    "Name", "Group", "Mobile",  "Home", "Office",
                               "Email", "Site", "Job",   "Address", "Image"};
    return c;
}

const QStringList &userColumns()
{
    static const QStringList c{"UserName", "Password", "Question", "Answer"};
    return c;
}

namespace {

const char *const kSchema[] = {
    "CREATE TABLE Table_Site (ID INTEGER PRIMARY KEY AUTOINCREMENT, Onvan TEXT, Address TEXT, "
    "Mozoo TEXT, Email TEXT, Modir TEXT, Mobile TEXT, Yahoo TEXT, Facebook TEXT, \"User\" TEXT, "
    "Pass TEXT, Tozihat TEXT, Gmail TEXT, Twitter TEXT, Google TEXT, Rss TEXT)",
    "CREATE TABLE Table_Category (ID INTEGER PRIMARY KEY AUTOINCREMENT, Category TEXT)",
    "CREATE TABLE Table_Contact (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, \"Group\" TEXT, "
    "Mobile TEXT, Home TEXT, Office TEXT, Email TEXT, Site TEXT, Job TEXT, Address TEXT, "
    "Image TEXT)",
    "CREATE TABLE Table_User (UserName TEXT, Password TEXT, Question TEXT, Answer TEXT)",
};

// Indexes for the prefix searches; made on open when missing, so that files made
// elsewhere search as fast.
struct IndexDef
{
    const char *name;
    const char *sql;
};
const IndexDef kIndexes[] = {
    {"Site_ID", "CREATE INDEX IF NOT EXISTS Site_ID ON Table_Site(ID)"},
    {"Site_Onvan", "CREATE INDEX IF NOT EXISTS Site_Onvan ON Table_Site(Onvan COLLATE NOCASE)"},
    {"Site_Address",
     "CREATE INDEX IF NOT EXISTS Site_Address ON Table_Site(Address COLLATE NOCASE)"},
    {"Site_Mozoo", "CREATE INDEX IF NOT EXISTS Site_Mozoo ON Table_Site(Mozoo COLLATE NOCASE)"},
    {"Site_Modir", "CREATE INDEX IF NOT EXISTS Site_Modir ON Table_Site(Modir COLLATE NOCASE)"},
    {"Contact_ID", "CREATE INDEX IF NOT EXISTS Contact_ID ON Table_Contact(ID)"},
    {"Contact_Name",
     "CREATE INDEX IF NOT EXISTS Contact_Name ON Table_Contact(Name COLLATE NOCASE)"},
    {"Contact_Mobile",
     "CREATE INDEX IF NOT EXISTS Contact_Mobile ON Table_Contact(Mobile COLLATE NOCASE)"},
};

// The decrypted pages the engine keeps, in KiB: the search indexes of 100,000 sites fit,
// and memory stays bounded however large the file grows.
constexpr int kPageCacheKiB = 16 * 1024;

// The list rows the grid shows, by ID range (a block of neighbouring listed sites) or by
// a list of IDs (scattered ones, `kInListSize` at a time, unused places NULL).
constexpr int kInListSize = 64;
const char kListColumns[] =
    "SELECT ID,Onvan,Address,Mozoo,Modir,Mobile,Yahoo,Email FROM Table_Site ";

QByteArray inListSql()
{
    QByteArray sql = QByteArray(kListColumns) + "WHERE ID IN (";
    for (int i = 1; i <= kInListSize; ++i)
        sql += (i > 1 ? ",?" : "?") + QByteArray::number(i);
    return sql + ") ORDER BY ID";
}

SiteListRow listRowOf(const Statement &st)
{
    SiteListRow row;
    row.id = st.int64(0);
    for (int i = 0; i < 7; ++i)
        row.texts[size_t(i)] = st.text(i + 1);
    return row;
}

// Whether the sorted IDs lie close enough together that reading their whole ID range
// costs less than looking each one up.
bool dense(std::span<const qint64> sortedIds)
{
    const qint64 span = sortedIds.back() - sortedIds.front() + 1;
    return span <= 2 * qint64(sortedIds.size()) + 64;
}

void prefixFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int textLen = sqlite3_value_bytes(argv[0]);
    const auto *prefix = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
    const int prefixLen = sqlite3_value_bytes(argv[1]);
    if (!text || !prefix) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    sqlite3_result_int(
        ctx, foldedStartsWith(text, textLen, QByteArray::fromRawData(prefix, prefixLen)) ? 1 : 0);
}

// Gathers the IDs of a query into the store's buffer inside the engine, which costs
// about half of stepping through the rows one by one.
void collectStep(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    static_cast<QVector<qint64> *>(sqlite3_user_data(ctx))->append(sqlite3_value_int64(argv[0]));
}

void collectFinal(sqlite3_context *ctx)
{
    sqlite3_result_null(ctx);
}

bool exec(sqlite3 *db, const char *sql, QString *error)
{
    char *msg = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &msg) == SQLITE_OK)
        return true;
    if (error)
        *error = QString::fromUtf8(msg ? msg : sqlite3_errmsg(db));
    sqlite3_free(msg);
    return false;
}

// How long a statement waits for another program's write to finish before it fails.
constexpr int kBusyTimeoutMs = 5000;

bool applyKey(sqlite3 *db)
{
    const QByteArray key(kDatabasePassword);
    return sqlite3_key(db, key.constData(), int(key.size())) == SQLITE_OK;
}

QStringList tableColumns(sqlite3 *db, const QString &table)
{
    QStringList names;
    const QByteArray sql = "PRAGMA table_info(\"" + table.toUtf8() + "\")";
    Statement st(db, sql.constData());
    while (st.step() == SQLITE_ROW)
        names << st.text(1);
    return names;
}

} // namespace

const char *searchColumnName(SearchColumn column)
{
    switch (column) {
    case SearchColumn::Onvan:
        return "Onvan";
    case SearchColumn::Address:
        return "Address";
    case SearchColumn::Mozoo:
        return "Mozoo";
    case SearchColumn::Modir:
        return "Modir";
    }
    return "Onvan";
}

namespace {

enum Slot {
    SlotSearch, // four columns, plain and folded: eight slots
    SlotListRow = SlotSearch + 8,
    SlotSite,
    SlotInsertSite,
    SlotListRange,
    SlotListIn,
    SlotTitleExists,
    SlotCount
};

} // namespace

Store::Store(sqlite3 *db, QString path) : m_db(db), m_path(std::move(path)), m_statements(SlotCount)
{
}

Store::~Store()
{
    m_statements.clear();
    sqlite3_close(m_db);
}

void Store::releaseMemory()
{
    sqlite3_db_release_memory(m_db);
}

const QString &Store::defaultUserName()
{
    static const QString name = QStringLiteral("admin");
    return name;
}

const QString &Store::defaultPassword()
{
    static const QString pass = QStringLiteral("1");
    return pass;
}

Result<void> Store::createDatabase(const QString &path)
{
    sqlite3 *db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        const QString detail = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return failure(StoreError::Kind::Io, detail);
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    QString error;
    bool ok = applyKey(db) && exec(db, "BEGIN", &error);
    for (const char *sql : kSchema)
        ok = ok && exec(db, sql, &error);
    for (const IndexDef &index : kIndexes)
        ok = ok && exec(db, index.sql, &error);
    if (ok) {
        Statement st(db, "INSERT INTO Table_User (UserName, Password, Question, Answer) "
                         "VALUES (?1, ?2, ?3, ?4)");
        st.bind(1, defaultUserName());
        st.bind(2, defaultPassword());
        st.bind(3, QStringLiteral(""));
        st.bind(4, QStringLiteral(""));
        ok = st.step() == SQLITE_DONE;
        if (!ok)
            error = QString::fromUtf8(sqlite3_errmsg(db));
    }
    ok = ok && exec(db, "COMMIT", &error);
    sqlite3_close(db);
    if (!ok) {
        QFile::remove(path);
        return failure(StoreError::Kind::Engine, error);
    }
    return {};
}

Result<std::unique_ptr<Store>> Store::open(const QString &connectionText)
{
    auto store = connect(connectionText);
    if (!store)
        return store;
    if (auto verified = (*store)->verify(); !verified)
        return std::unexpected(verified.error());
    if (auto indexed = (*store)->ensureIndexes(); !indexed) {
        (*store)->m_indexProblem = indexed.error().detail;
        qWarning("The search indexes could not be made; lists read the table: %s",
                 qPrintable((*store)->m_indexProblem));
    }
    return store;
}

Result<std::unique_ptr<Store>> Store::connect(const QString &connectionText)
{
    using Kind = StoreError::Kind;
    const auto info = parseConnectionText(connectionText);
    if (!info)
        return failure(Kind::BadConnection, QString());
    const QString path = info->dataSource;
    const QFileInfo fi(path);
    if (fi.isDir())
        return failure(Kind::IsFolder, path);
    if (!fi.exists())
        return failure(Kind::CannotCreate, path);
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly))
        return failure(Kind::NotReadable, path);
    const QByteArray head = probe.read(32);
    probe.close();
    if (head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return failure(Kind::NotEncrypted, QString());
    if (head.size() >= 19 && head.mid(4, 15) == "Standard Jet DB")
        return failure(Kind::OldFormat, QString());
    // Smaller than one page: an engine would take it for a new empty database.
    if (fi.size() < 512)
        return failure(Kind::WrongPassword, QString());

    sqlite3 *db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const QString error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return failure(Kind::NotOpened, error);
    }
    std::unique_ptr<Store> store(new Store(db, path));
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    const QByteArray password = info->password.toUtf8();
    if (sqlite3_key(db, password.constData(), int(password.size())) != SQLITE_OK)
        return failure(Kind::NotOpened, QString());
    return store;
}

Result<void> Store::verify()
{
    using Kind = StoreError::Kind;
    sqlite3 *db = m_db;
    // The key is checked on the first read.
    {
        Statement st(db, "SELECT count(*) FROM sqlite_master");
        const int rc = st.ok() ? st.step() : sqlite3_errcode(db);
        if (rc != SQLITE_ROW) {
            const int code = sqlite3_errcode(db) & 0xFF;
            return failure((code == SQLITE_NOTADB || code == SQLITE_CORRUPT) ? Kind::WrongPassword
                                                                             : Kind::NotOpened,
                           QString::fromUtf8(sqlite3_errmsg(db)));
        }
    }
    const std::pair<const char *, const QStringList *> tables[] = {
        {"Table_Site", &siteColumns()},
        {"Table_Category", &categoryColumns()},
        {"Table_Contact", &contactColumns()},
        {"Table_User", &userColumns()},
    };
    for (const auto &[table, columns] : tables) {
        const QStringList found = tableColumns(db, QString::fromLatin1(table));
        if (found.isEmpty())
            return failure(Kind::MissingTable, QString::fromLatin1(table));
        if (found != *columns)
            return failure(Kind::WrongColumns, QString::fromLatin1(table));
    }
    const QFileInfo fi(m_path);
    if (!fi.isWritable() || !QFileInfo(fi.absolutePath()).isWritable())
        return failure(Kind::ReadOnly, fi.absolutePath());
    // The page cache keeps decrypted pages, so a second search costs a fraction; bounded,
    // so that a large file does not grow the process with every page read.
    exec(db, QByteArray("PRAGMA cache_size = -" + QByteArray::number(kPageCacheKiB)).constData(),
         nullptr);
    exec(db, "PRAGMA temp_store = MEMORY", nullptr);
    sqlite3_create_function_v2(db, "zorbin_prefix", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               prefixFunction, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "zorbin_collect", 1, SQLITE_UTF8, &m_collected, nullptr,
                               collectStep, collectFinal, nullptr);
    return {};
}

namespace {

struct ProgressState
{
    const std::function<bool(int, int)> *progress;
    int done;
    int total;
};

int progressHandler(void *data)
{
    auto *state = static_cast<ProgressState *>(data);
    return (*state->progress)(state->done, state->total) ? 0 : 1;
}

bool indexPresent(sqlite3 *db, const char *name)
{
    Statement st(db, "SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?1");
    st.bindUtf8(1, QByteArray(name));
    return st.step() == SQLITE_ROW;
}

} // namespace

int Store::missingIndexCount()
{
    int missing = 0;
    for (const IndexDef &index : kIndexes)
        missing += indexPresent(m_db, index.name) ? 0 : 1;
    return missing;
}

Result<void> Store::ensureIndexes(const std::function<bool(int done, int total)> &progress)
{
    const int total = progress ? missingIndexCount() : 0;
    ProgressState state{&progress, 0, total};
    if (progress && !progress(0, total))
        return failure(StoreError::Kind::Engine, QStringLiteral("interrupted"));
    for (const IndexDef &index : kIndexes) {
        const bool building = progress && !indexPresent(m_db, index.name);
        // Every few thousand steps of the engine the caller may show progress or stop.
        if (building)
            sqlite3_progress_handler(m_db, 20000, progressHandler, &state);
        QString error;
        const bool made = exec(m_db, index.sql, &error);
        if (building)
            sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
        if (!made) {
            StoreError problem = engineError();
            problem.detail = QString::fromLatin1(index.sql) + QStringLiteral(": ") + error;
            return std::unexpected(problem);
        }
        if (building && !progress(++state.done, total))
            return failure(StoreError::Kind::Engine, QStringLiteral("interrupted"));
    }
    return {};
}

Result<bool> Store::beginUnlessOpen(bool write)
{
    if (!sqlite3_get_autocommit(m_db))
        return false;
    QString error;
    if (!exec(m_db, write ? "BEGIN IMMEDIATE" : "BEGIN", &error))
        return std::unexpected(engineError());
    return true;
}

void Store::endTransaction(bool commit)
{
    if (commit && exec(m_db, "COMMIT", nullptr))
        return;
    exec(m_db, "ROLLBACK", nullptr);
}

Result<void> Store::inTransaction(const std::function<Result<void>()> &work)
{
    const auto opened = beginUnlessOpen(true);
    if (!opened.has_value())
        return std::unexpected(opened.error());
    Result<void> done = work();
    if (!*opened)
        return done;
    if (!done) {
        endTransaction(false);
        return done;
    }
    QString error;
    if (!exec(m_db, "COMMIT", &error)) {
        const StoreError failed = engineError();
        exec(m_db, "ROLLBACK", nullptr);
        return std::unexpected(failed);
    }
    return {};
}

StoreError Store::engineError() const
{
    return engineErrorOf(m_db);
}

Result<void> Store::changedOne(int rc, qint64 id)
{
    if (rc != SQLITE_DONE)
        return std::unexpected(engineError());
    if (sqlite3_changes(m_db) == 1)
        return {};
    return failure(StoreError::Kind::NotFound, QStringLiteral("no record with ID %1").arg(id));
}

Result<void> Store::rowOrError(int rc, qint64 id) const
{
    if (rc == SQLITE_ROW)
        return {};
    if (rc == SQLITE_DONE)
        return failure(StoreError::Kind::NotFound, QStringLiteral("no record with ID %1").arg(id));
    return std::unexpected(engineError());
}

Result<bool> Store::anyRow(int rc) const
{
    if (rc == SQLITE_ROW || rc == SQLITE_DONE)
        return rc == SQLITE_ROW;
    return std::unexpected(engineError());
}

Statement &Store::cached(int slot, const QByteArray &sql)
{
    auto &st = m_statements[size_t(slot)];
    if (!st || !st->ok())
        st = std::make_unique<Statement>(m_db, sql.constData());
    st->reset();
    return *st;
}

Result<qint64> Store::count(const char *sql)
{
    Statement st(m_db, sql);
    if (st.step() != SQLITE_ROW)
        return std::unexpected(engineError());
    return st.int64(0);
}

Result<QVector<qint64>> Store::siteIds()
{
    // The narrow ID index holds the IDs in order; scanning the table itself would
    // decrypt every page of it.
    m_collected.clear();
    Statement st(m_db, "SELECT zorbin_collect(ID) FROM "
                       "(SELECT ID FROM Table_Site INDEXED BY Site_ID ORDER BY ID)");
    if (st.step() != SQLITE_ROW) {
        // The index is missing or damaged: the table itself still holds every site.
        m_collected.clear();
        Statement plain(m_db, "SELECT zorbin_collect(ID) FROM "
                              "(SELECT ID FROM Table_Site NOT INDEXED ORDER BY ID)");
        if (plain.step() != SQLITE_ROW) {
            m_collected.clear();
            return std::unexpected(engineError());
        }
    }
    QVector<qint64> ids = std::exchange(m_collected, {});
    sortIds(ids); // the engine may drop the inner order; this keeps it cheaply
    return ids;
}

Result<QVector<qint64>> Store::siteIdsAfter(qint64 after, int limit)
{
    QVector<qint64> ids;
    for (const char *sql : {"SELECT ID FROM Table_Site INDEXED BY Site_ID WHERE ID > ?1 "
                            "ORDER BY ID LIMIT ?2",
                            // The index is missing or damaged: the table itself.
                            "SELECT ID FROM Table_Site NOT INDEXED WHERE ID > ?1 "
                            "ORDER BY ID LIMIT ?2"}) {
        Statement st(m_db, sql);
        st.bind(1, after);
        st.bind(2, qint64(limit));
        ids.clear();
        int rc;
        while ((rc = st.step()) == SQLITE_ROW)
            ids.append(st.int64(0));
        if (rc == SQLITE_DONE)
            return ids;
    }
    return std::unexpected(engineError());
}

Result<QVector<qint64>> Store::searchSites(SearchColumn column, const QString &prefix)
{
    if (prefix.isEmpty())
        return siteIds();
    const PrefixSearch search(prefix);
    const char *name = searchColumnName(column);
    const int slot = SlotSearch + 2 * int(column) + (search.exact ? 0 : 1);
    m_collected.clear();
    auto found = runPrefixSearch(
        m_db, cached(slot, prefixSearchSql("Table_Site", name, search.exact)), search);
    if (!found) {
        // A damaged index must not hide the sites: the table itself is searched.
        m_collected.clear();
        Statement plain(m_db, prefixSearchSql("Table_Site", name, search.exact, true).constData());
        found = runPrefixSearch(m_db, plain, search);
    }
    if (!found) {
        m_collected.clear();
        return std::unexpected(found.error());
    }
    QVector<qint64> ids = std::exchange(m_collected, {});
    sortIds(ids);
    return ids;
}

Result<SiteListRow> Store::siteListRow(qint64 id)
{
    Statement &st = cached(SlotListRow, "SELECT ID,Onvan,Address,Mozoo,Modir,Mobile,Yahoo,Email "
                                        "FROM Table_Site WHERE ID = ?1");
    st.bind(1, id);
    if (auto found = rowOrError(st.step(), id); !found) {
        st.reset();
        return std::unexpected(found.error());
    }
    SiteListRow row;
    row.id = st.int64(0);
    for (int i = 0; i < 7; ++i)
        row.texts[size_t(i)] = st.text(i + 1);
    st.reset();
    return row;
}

Result<QVector<SiteListRow>> Store::siteListRows(const QVector<qint64> &ids)
{
    QVector<SiteListRow> rows;
    rows.reserve(ids.size());
    auto read = forEachSiteListRow(ids, [&rows](const SiteListRow &row) {
        rows.append(row);
        return true;
    });
    if (!read)
        return std::unexpected(read.error());
    return rows;
}

Result<void> Store::forEachSiteListRow(const QVector<qint64> &ids,
                                       const std::function<bool(const SiteListRow &)> &sink)
{
    QVector<qint64> sorted = ids;
    if (!std::is_sorted(sorted.begin(), sorted.end()))
        std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    return forEachSiteListRow(std::span<const qint64>(sorted.constData(), size_t(sorted.size())),
                              sink);
}

Result<void> Store::forEachSiteListRow(std::span<const qint64> sorted,
                                       const std::function<bool(const SiteListRow &)> &sink)
{
    if (sorted.empty())
        return {};

    // One read transaction: the engine checks the file once, not once per statement.
    const auto opened = beginUnlessOpen(false);
    if (!opened.has_value())
        return std::unexpected(opened.error());
    int rc = SQLITE_DONE;
    bool more = true;
    StoreError error;
    if (dense(sorted)) {
        // Neighbouring sites: one range of the table, skipping the IDs not listed.
        Statement &st = cached(SlotListRange,
                               QByteArray(kListColumns) + "WHERE ID BETWEEN ?1 AND ?2 ORDER BY ID");
        st.bind(1, sorted.front());
        st.bind(2, sorted.back());
        size_t next = 0;
        while (more && (rc = st.step()) == SQLITE_ROW) {
            const qint64 id = st.int64(0);
            while (next < sorted.size() && sorted[next] < id)
                ++next;
            if (next < sorted.size() && sorted[next] == id)
                more = sink(listRowOf(st));
        }
        if (!more)
            rc = SQLITE_DONE;
        else if (rc != SQLITE_DONE)
            error = engineError();
        st.reset();
    } else {
        // Scattered sites: looked up by ID, a list of them per run of the statement.
        Statement &st = cached(SlotListIn, inListSql());
        for (size_t from = 0; more && rc == SQLITE_DONE && from < sorted.size();
             from += kInListSize) {
            st.reset();
            for (size_t i = 0; i < size_t(kInListSize); ++i) {
                if (from + i < sorted.size())
                    st.bind(int(i) + 1, sorted[from + i]);
                else
                    st.bindNull(int(i) + 1);
            }
            while (more && (rc = st.step()) == SQLITE_ROW)
                more = sink(listRowOf(st));
            if (!more)
                rc = SQLITE_DONE;
            else if (rc != SQLITE_DONE)
                error = engineError();
        }
        st.reset();
    }
    if (*opened)
        endTransaction(true);
    if (rc != SQLITE_DONE)
        return std::unexpected(error);
    return {};
}

Result<SiteRecord> Store::site(qint64 id)
{
    Statement &st = cached(SlotSite, "SELECT * FROM Table_Site WHERE ID = ?1");
    st.bind(1, id);
    if (auto found = rowOrError(st.step(), id); !found) {
        st.reset();
        return std::unexpected(found.error());
    }
    SiteRecord rec;
    rec.id = st.int64(0);
    for (int i = 1; i < SiteFieldCount; ++i)
        rec.fields[size_t(i)] = st.text(i);
    st.reset();
    return rec;
}

Result<bool> Store::siteTitleExists(const QString &title)
{
    // The case-insensitive index narrows the rows; the plain comparison is exact. Prepared
    // once: an import asks for every row it adds.
    Statement &st = cached(SlotTitleExists, "SELECT 1 FROM Table_Site WHERE Onvan COLLATE NOCASE "
                                            "= ?1 AND Onvan = ?1 LIMIT 1");
    st.bind(1, title);
    const Result<bool> found = anyRow(st.step());
    st.reset();
    return found;
}

Result<qint64> Store::insertSite(const SiteRecord &record)
{
    // Prepared once: a fill or an import inserts many in a row.
    Statement &st =
        cached(SlotInsertSite, "INSERT INTO Table_Site (Onvan, Address, Mozoo, Email, Modir, "
                               "Mobile, Yahoo, Facebook, \"User\", Pass, Tozihat, Gmail, "
                               "Twitter, Google, Rss) "
                               "VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14,?15)");
    for (int i = 1; i < SiteFieldCount; ++i)
        st.bind(i, record.fields[size_t(i)]);
    const int rc = st.step();
    st.reset();
    if (rc != SQLITE_DONE)
        return std::unexpected(engineError());
    return sqlite3_last_insert_rowid(m_db);
}

Result<void> Store::updateSite(const SiteRecord &record)
{
    Statement st(m_db, "UPDATE Table_Site SET Onvan=?1, Address=?2, Mozoo=?3, Email=?4, "
                       "Modir=?5, Mobile=?6, Yahoo=?7, Facebook=?8, \"User\"=?9, Pass=?10, "
                       "Tozihat=?11, Gmail=?12, Twitter=?13, Google=?14, Rss=?15 WHERE ID=?16");
    for (int i = 1; i < SiteFieldCount; ++i)
        st.bind(i, record.fields[size_t(i)]);
    st.bind(16, record.id);
    return changedOne(st.step(), record.id);
}

Result<void> Store::deleteSite(qint64 id)
{
    Statement st(m_db, "DELETE FROM Table_Site WHERE ID=?1");
    st.bind(1, id);
    return changedOne(st.step(), id);
}

Result<qint64> Store::siteCount()
{
    if (auto n = count("SELECT count(*) FROM Table_Site"))
        return n;
    // The engine counts through the smallest index; a damaged one must not hide the sites.
    return count("SELECT count(*) FROM Table_Site NOT INDEXED");
}

Result<QVector<CategoryRecord>> Store::categories()
{
    QVector<CategoryRecord> list;
    Statement st(m_db, "SELECT ID, Category FROM Table_Category ORDER BY ID");
    int rc;
    while ((rc = st.step()) == SQLITE_ROW)
        list.append({st.int64(0), st.text(1)});
    if (rc != SQLITE_DONE)
        return std::unexpected(engineError());
    return list;
}

Result<CategoryRecord> Store::category(qint64 id)
{
    Statement st(m_db, "SELECT ID, Category FROM Table_Category WHERE ID=?1");
    st.bind(1, id);
    if (auto found = rowOrError(st.step(), id); !found) {
        st.reset();
        return std::unexpected(found.error());
    }
    return CategoryRecord{st.int64(0), st.text(1)};
}

Result<bool> Store::categoryExists(const QString &title)
{
    Statement st(m_db, "SELECT 1 FROM Table_Category WHERE Category = ?1 LIMIT 1");
    st.bind(1, title);
    return anyRow(st.step());
}

Result<qint64> Store::addCategory(const QString &title)
{
    Statement st(m_db, "INSERT INTO Table_Category (Category) VALUES (?1)");
    st.bind(1, title);
    if (st.step() != SQLITE_DONE)
        return std::unexpected(engineError());
    return sqlite3_last_insert_rowid(m_db);
}

Result<void> Store::renameCategory(qint64 id, const QString &title)
{
    Statement st(m_db, "UPDATE Table_Category SET Category=?1 WHERE ID=?2");
    st.bind(1, title);
    st.bind(2, id);
    return changedOne(st.step(), id);
}

Result<void> Store::deleteCategory(qint64 id)
{
    Statement st(m_db, "DELETE FROM Table_Category WHERE ID=?1");
    st.bind(1, id);
    return changedOne(st.step(), id);
}

Result<qint64> Store::categoryCount()
{
    return count("SELECT count(*) FROM Table_Category");
}

Result<QVector<UserRecord>> Store::users()
{
    QVector<UserRecord> list;
    Statement st(m_db,
                 "SELECT UserName, Password, Question, Answer FROM Table_User ORDER BY rowid");
    int rc;
    while ((rc = st.step()) == SQLITE_ROW)
        list.append({st.text(0), st.text(1), st.text(2), st.text(3)});
    if (rc != SQLITE_DONE)
        return std::unexpected(engineError());
    return list;
}

Result<qint64> Store::contactCount()
{
    return count("SELECT count(*) FROM Table_Contact");
}

} // namespace zorbin::store
