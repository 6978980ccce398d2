// The Access (Jet 4) reader: libmdb reads the table definitions, the pages and the rows;
// the list of tables and the text of Text and Memo fields are read here from the stored
// bytes, because libmdb's own conversion turns characters outside the Basic Multilingual
// Plane into "??" and cuts values at its bind size.

#include "converter/jetformat.h"
#include "converter/source.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <mdbtools.h>

namespace zorbin::converter {

namespace {

constexpr int kOffsetMask = 0x1fff;
constexpr int kJetPageSize = 4096;
// Memo values are bounded by what their header declares; a chain longer than that, or
// one that loops, is damage.
constexpr quint32 kMemoLengthMask = 0x00ffffff;
constexpr int kMaxMemoPages = 1 << 16;
// Every page a table's rows or memo values are read from says what it is: a data page
// (type 1) naming its table's definition page, or, for memo values, the word "LVAL".
constexpr unsigned char kDataPage = 0x01;
constexpr int kOwnerOffset = 4;
constexpr quint32 kLongValueOwner = 0x4c41564c; // "LVAL" read as a little-endian number

quint32 le32(const unsigned char *p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

class JetCursor : public SourceCursor
{
public:
    JetCursor(MdbHandle *mdb, MdbTableDef *table, std::vector<int> columns, QString tableName)
        : m_mdb(mdb), m_table(table), m_columns(std::move(columns)), m_fields(table->num_cols),
          m_byColumn(table->num_cols, -1), m_tableName(std::move(tableName))
    {
        mdb_rewind_table(m_table);
    }
    ~JetCursor() override { mdb_free_tabledef(m_table); }

    bool next(std::vector<QString> &values) override
    {
        if (!m_error.isEmpty() || m_done)
            return false;
        if (m_record == 0 && !pagesBelongToTable())
            return false;
        if (!mdb_fetch_row(m_table)) {
            // libmdb ends a table at the first page it cannot read and passes over rows
            // it cannot make out: the count the definition holds tells whether any
            // were lost.
            m_done = true;
            if (quint64(m_record) != quint64(m_table->num_rows))
                m_error = QStringLiteral("%1 holds %2 records, but only %3 of them can be "
                                         "read: the file is damaged.")
                              .arg(m_tableName)
                              .arg(m_table->num_rows)
                              .arg(m_record);
            return false;
        }
        ++m_record;
        if (!ownedPage(m_mdb->pg_buf, m_table->entry->table_pg))
            return damaged(QString());
        int start = 0;
        size_t size = 0;
        if (m_table->cur_row == 0 ||
            mdb_find_row(m_mdb, int(m_table->cur_row - 1), &start, &size) != 0)
            return damaged(QString());
        start &= kOffsetMask;
        const int count = mdb_crack_row(m_table, start, size, m_fields.data());
        if (count < 0)
            return damaged(QString());
        std::fill(m_byColumn.begin(), m_byColumn.end(), -1);
        const unsigned cracked = std::min(unsigned(count), m_table->num_cols);
        for (unsigned i = 0; i < cracked; ++i) {
            const int column = m_fields[i].colnum;
            if (column >= 0 && column < int(m_byColumn.size()))
                m_byColumn[size_t(column)] = int(i);
        }
        values.resize(m_columns.size());
        for (size_t i = 0; i < m_columns.size(); ++i) {
            const int column = m_columns[i];
            const int f = m_byColumn[size_t(column)];
            auto *col =
                static_cast<MdbColumn *>(g_ptr_array_index(m_table->columns, guint(column)));
            if (f < 0)
                return damaged(QString::fromUtf8(col->name));
            if (!value(col, m_fields[size_t(f)], values[i]))
                return damaged(QString::fromUtf8(col->name));
        }
        return true;
    }

    QString error() const override { return m_error; }

private:
    static bool ownedPage(const unsigned char *page, quint32 owner)
    {
        return page[0] == kDataPage && le32(page + kOwnerOffset) == owner;
    }

    // Every page the table's usage map lists must be there and be one of its data
    // pages; libmdb passes over any other in silence, and its rows with it.
    bool pagesBelongToTable()
    {
        const quint32 owner = m_table->entry->table_pg;
        guint32 page = 0;
        for (;;) {
            const gint32 found =
                mdb_map_find_next(m_mdb, m_table->usage_map, unsigned(m_table->map_sz), page);
            if (found == 0)
                return true;
            if (found < 0 || guint32(found) <= page ||
                mdb_read_alt_pg(m_mdb, gulong(found)) != m_mdb->fmt->pg_size ||
                !ownedPage(m_mdb->alt_pg_buf, owner)) {
                m_error = QStringLiteral("Page %1 of %2 is missing or is not one of its pages: "
                                         "the file is damaged.")
                              .arg(found)
                              .arg(m_tableName);
                return false;
            }
            page = guint32(found);
        }
    }

    bool damaged(const QString &field)
    {
        m_error = field.isEmpty()
                      ? QStringLiteral("Record %1 of %2 cannot be read: the file is damaged.")
                            .arg(m_record)
                            .arg(m_tableName)
                      : QStringLiteral("The field %1 of record %2 of %3 cannot be read: the file "
                                       "is damaged.")
                            .arg(field)
                            .arg(m_record)
                            .arg(m_tableName);
        return false;
    }

    bool inPage(int start, int size) const
    {
        return start >= 0 && size >= 0 && start + size <= int(m_mdb->fmt->pg_size);
    }

    bool value(MdbColumn *col, const MdbField &field, QString &out)
    {
        out = QString();
        if (col->col_type == MDB_BOOL) {
            out = field.is_null ? QStringLiteral("False") : QStringLiteral("True");
            return true;
        }
        if (field.is_null)
            return true;
        if (!inPage(field.start, field.siz))
            return false;
        const unsigned char *data = m_mdb->pg_buf + field.start;
        switch (col->col_type) {
        case MDB_TEXT:
            out = decodeJetText(data, field.siz);
            return true;
        case MDB_MEMO:
            return memo(data, field.siz, out);
        case MDB_OLE:
        case MDB_BINARY:
            return true;
        case MDB_NUMERIC: {
            char *text = mdb_numeric_to_string(m_mdb, field.start, col->col_scale, col->col_prec);
            out = QString::fromUtf8(text);
            g_free(text);
            return true;
        }
        default: {
            if (mdb_col_fixed_size(col) > field.siz)
                return false;
            char *text =
                mdb_col_to_string(m_mdb, m_mdb->pg_buf, field.start, col->col_type, field.siz);
            out = QString::fromUtf8(text ? text : "");
            g_free(text);
            return true;
        }
        }
    }

    static bool longValuePage(const void *page)
    {
        const auto *bytes = static_cast<const unsigned char *>(page);
        return bytes[0] == kDataPage && le32(bytes + kOwnerOffset) == kLongValueOwner;
    }

    // A memo value: inline after its 12-byte header, on one page of its own, or in a
    // chain of pages each naming the next.
    bool memo(const unsigned char *header, int size, QString &out)
    {
        if (size < MDB_MEMO_OVERHEAD)
            return size == 0;
        const quint32 word = le32(header);
        const quint32 length = word & kMemoLengthMask;
        if (word & 0x80000000u) {
            out = decodeJetText(header + MDB_MEMO_OVERHEAD, size - MDB_MEMO_OVERHEAD);
            return true;
        }
        qint32 pgRow = qint32(le32(header + 4));
        void *buf = nullptr;
        int start = 0;
        size_t len = 0;
        if (word & 0x40000000u) {
            if (mdb_find_pg_row(m_mdb, pgRow, &buf, &start, &len) != 0 || !longValuePage(buf) ||
                !inPage(start, int(len)))
                return false;
            out = decodeJetText(static_cast<unsigned char *>(buf) + start, qsizetype(len));
            return true;
        }
        if (word & 0xff000000u)
            return false;
        QByteArray bytes;
        for (int pages = 0; pgRow != 0; ++pages) {
            if (pages >= kMaxMemoPages || mdb_find_pg_row(m_mdb, pgRow, &buf, &start, &len) != 0 ||
                !longValuePage(buf) || !inPage(start, int(len)) || len < 4)
                return false;
            const auto *row = static_cast<unsigned char *>(buf) + start;
            if (quint32(bytes.size()) + (len - 4) > length)
                return false;
            bytes.append(reinterpret_cast<const char *>(row + 4), qsizetype(len - 4));
            pgRow = qint32(le32(row));
        }
        // A chain that ends before the length its header declares lost its last pages.
        if (quint32(bytes.size()) != length)
            return false;
        out =
            decodeJetText(reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size());
        return true;
    }

    MdbHandle *m_mdb;
    MdbTableDef *m_table;
    std::vector<int> m_columns;
    std::vector<MdbField> m_fields;
    std::vector<int> m_byColumn;
    QString m_tableName;
    QString m_error;
    qint64 m_record = 0;
    bool m_done = false;
};

// The tables of the file, as MSysObjects lists them. Read here rather than by libmdb's
// catalog functions, which also parse every object's property block and run without end
// (taking all memory) on a damaged one; nothing here needs the properties.
using Catalog = std::vector<std::unique_ptr<MdbCatalogEntry>>;

MdbTableDef *readTable(MdbCatalogEntry *entry)
{
    MdbTableDef *def = mdb_read_table(entry);
    if (!def)
        return nullptr;
    // libmdb finds a table's data pages through its usage map and reads a missing one
    // through a null pointer (found by fuzzing).
    if (!def->usage_map || def->map_sz < 1) {
        mdb_free_tabledef(def);
        return nullptr;
    }
    if (!mdb_read_columns(def) || def->num_cols == 0 || def->num_cols > MDB_MAX_COLS ||
        !def->columns || def->columns->len != def->num_cols) {
        mdb_free_tabledef(def);
        return nullptr;
    }
    return def;
}

int columnIndex(MdbTableDef *def, const QString &name)
{
    for (guint i = 0; i < def->num_cols; ++i) {
        const auto *col = static_cast<MdbColumn *>(g_ptr_array_index(def->columns, i));
        if (QString::fromUtf8(col->name).compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

std::optional<Catalog> readCatalog(MdbHandle *mdb, QString *damage)
{
    // MSysObjects' definition is always on page 2.
    MdbCatalogEntry system{};
    system.mdb = mdb;
    system.object_type = MDB_TABLE;
    system.table_pg = 2;
    qstrncpy(system.object_name, "MSysObjects", sizeof system.object_name);
    *damage = QStringLiteral("The definition of MSysObjects cannot be read.");
    MdbTableDef *def = readTable(&system);
    if (!def)
        return std::nullopt;
    std::vector<int> columns;
    for (const char *name : {"Id", "Name", "Type"})
        columns.push_back(columnIndex(def, QString::fromLatin1(name)));
    if (std::ranges::find(columns, -1) != columns.end()) {
        mdb_free_tabledef(def);
        return std::nullopt;
    }
    Catalog catalog;
    JetCursor cursor(mdb, def, std::move(columns), QStringLiteral("MSysObjects"));
    std::vector<QString> row;
    constexpr size_t kMaxObjects = 1 << 16;
    while (catalog.size() < kMaxObjects && cursor.next(row)) {
        if (row[2].toInt() != MDB_TABLE)
            continue;
        auto entry = std::make_unique<MdbCatalogEntry>();
        std::memset(entry.get(), 0, sizeof(MdbCatalogEntry));
        entry->mdb = mdb;
        entry->object_type = MDB_TABLE;
        entry->table_pg = row[0].toULong() & 0x00FFFFFF;
        qstrncpy(entry->object_name, row[1].toUtf8().constData(), sizeof entry->object_name);
        catalog.push_back(std::move(entry));
    }
    if (!cursor.error().isEmpty()) {
        *damage = cursor.error();
        return std::nullopt;
    }
    // A table the list names must have a definition that reads: one that does not is
    // damage, never a missing table.
    for (const auto &entry : catalog) {
        MdbTableDef *table = readTable(entry.get());
        if (!table) {
            *damage = QStringLiteral("The definition of %1 cannot be read.")
                          .arg(QString::fromUtf8(entry->object_name));
            return std::nullopt;
        }
        mdb_free_tabledef(table);
    }
    return catalog;
}

class JetSource : public Source
{
public:
    JetSource(MdbHandle *mdb, QByteArray bytes, Catalog catalog)
        : m_mdb(mdb), m_bytes(std::move(bytes)), m_catalog(std::move(catalog))
    {
    }
    // The cursors read through the handle and the catalog: they go first.
    ~JetSource() override { mdb_close(m_mdb); }

    QString kind() const override { return QStringLiteral("Access (Jet 4) file"); }

    std::optional<QStringList> fields(const QString &table) override
    {
        MdbTableDef *def = openTable(table);
        if (!def)
            return std::nullopt;
        QStringList names;
        for (guint i = 0; i < def->num_cols; ++i)
            names << QString::fromUtf8(
                static_cast<MdbColumn *>(g_ptr_array_index(def->columns, i))->name);
        mdb_free_tabledef(def);
        return names;
    }

    Result<std::unique_ptr<SourceCursor>> read(const QString &table,
                                               const QStringList &fields) override
    {
        MdbTableDef *def = openTable(table);
        if (!def) {
            return std::unexpected(Refusal{Refusal::Kind::Other,
                                           QStringLiteral("The table %1 is missing.").arg(table)});
        }
        std::vector<int> columns;
        for (const QString &name : fields) {
            const int found = columnIndex(def, name);
            if (found < 0) {
                mdb_free_tabledef(def);
                return std::unexpected(
                    Refusal{Refusal::Kind::Other,
                            QStringLiteral("The table %1 has no field %2.").arg(table, name)});
            }
            columns.push_back(found);
        }
        return std::make_unique<JetCursor>(m_mdb, def, std::move(columns), table);
    }

private:
    MdbTableDef *openTable(const QString &table)
    {
        for (const auto &entry : m_catalog)
            if (QString::fromUtf8(entry->object_name).compare(table, Qt::CaseInsensitive) == 0)
                return readTable(entry.get());
        return nullptr;
    }

    MdbHandle *m_mdb;
    QByteArray m_bytes; // the file's bytes when it was opened from memory
    Catalog m_catalog;
};

Refusal refusal(Refusal::Kind kind, const QString &text)
{
    return Refusal{kind, text};
}

// Checks the header (a Jet 4 file with one of the two releases' passwords) and opens it.
Result<std::unique_ptr<Source>> openJet(const QByteArray &head, qint64 size, const QString &path,
                                        QByteArray bytes, bool zorbinOnly)
{
    const auto header = readJetHeader(head);
    if (!header) {
        // The name of the format at its start, but not the whole first page.
        const bool cut = head.size() >= 19 && (head.mid(4, 15) == "Standard Jet DB" ||
                                               head.mid(4, 15) == "Standard ACE DB");
        return std::unexpected(
            cut ? refusal(Refusal::Kind::Damaged,
                          QStringLiteral("The Access database is cut short: its first "
                                         "page is incomplete."))
                : refusal(Refusal::Kind::NotADatabase,
                          QStringLiteral("The file is not an Access database.")));
    }
    if (header->ace || header->version != 1) {
        return std::unexpected(refusal(
            Refusal::Kind::Other,
            header->version == 0 ? QStringLiteral("The file is an Access 97 database; only Access "
                                                  "2000 to 2003 files of Zorbin can be converted.")
                                 : QStringLiteral("The file is an Access 2007 or later database; "
                                                  "only Access 2000 to 2003 files of Zorbin can be "
                                                  "converted.")));
    }
    if (zorbinOnly && header->password != QLatin1String(kVersion1Password) &&
        header->password != QLatin1String(kVersion2Password)) {
        return std::unexpected(
            refusal(Refusal::Kind::WrongPassword,
                    header->password.isEmpty()
                        ? QStringLiteral("The file is an Access database of another "
                                         "program: it has no password, and Zorbin's "
                                         "databases have one.")
                        : QStringLiteral("The file is an Access database of another "
                                         "program: its password is not that of a Zorbin "
                                         "database.")));
    }
    // Jet 4 files are whole 4 KiB pages; anything else was cut short.
    if (size % kJetPageSize != 0) {
        return std::unexpected(
            refusal(Refusal::Kind::Damaged,
                    QStringLiteral("The Access database is cut short: its last page is "
                                   "incomplete.")));
    }
    MdbHandle *mdb = nullptr;
    if (bytes.isEmpty()) {
        const QByteArray file = QFile::encodeName(path);
        mdb = mdb_open(file.constData(), MDB_NOFLAGS);
    } else {
        mdb = mdb_open_buffer(bytes.data(), size_t(bytes.size()), MDB_NOFLAGS);
    }
    if (!mdb) {
        return std::unexpected(refusal(Refusal::Kind::Damaged,
                                       QStringLiteral("The Access database cannot be opened.")));
    }
    // Memo values are decoded from their pages here; a larger bind size still keeps any
    // value libmdb converts itself whole.
    mdb_set_bind_size(mdb, 1 << 20);
    QString damage;
    auto catalog = readCatalog(mdb, &damage);
    if (!catalog) {
        mdb_close(mdb);
        return std::unexpected(
            refusal(Refusal::Kind::Damaged,
                    QStringLiteral("Its list of tables cannot be read. %1").arg(damage)));
    }
    return std::make_unique<JetSource>(mdb, std::move(bytes), std::move(*catalog));
}

} // namespace

Result<std::unique_ptr<Source>> openJetFile(const QString &path, bool zorbinOnly)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::unexpected(
            refusal(Refusal::Kind::Other,
                    QStringLiteral("The file cannot be read: %1").arg(file.errorString())));
    }
    const QByteArray head = file.read(0x100);
    const qint64 size = file.size();
    file.close();
    return openJet(head, size, path, QByteArray(), zorbinOnly);
}

Result<std::unique_ptr<Source>> openJetBuffer(const QByteArray &bytes, bool zorbinOnly)
{
    if (bytes.isEmpty()) {
        return std::unexpected(
            refusal(Refusal::Kind::NotADatabase, QStringLiteral("The file is empty.")));
    }
    return openJet(bytes.left(0x100), bytes.size(), QString(), bytes, zorbinOnly);
}

} // namespace zorbin::converter
