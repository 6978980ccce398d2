#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

namespace zorbin::store {

// Column positions of Table_Site; the order is part of the file format.
enum SiteField : int {
    SiteId = 0,
    Onvan,
    Address,
    Mozoo,
    Email,
    Modir,
    Mobile,
    Yahoo,
    Facebook,
    User,
    Pass,
    Tozihat,
    Gmail,
    Twitter,
    Google,
    Rss,
    SiteFieldCount
};

const QStringList &siteColumns();
const QStringList &categoryColumns();
const QStringList &contactColumns();
const QStringList &userColumns();

// One row of Table_Site. A field read as NULL is a null QString; an empty text is an
// empty but not null QString.
struct SiteRecord
{
    qint64 id = 0;
    std::array<QString, SiteFieldCount> fields; // fields[0] unused, see `id`

    QString &operator[](SiteField f) { return fields[f]; }
    const QString &operator[](SiteField f) const { return fields[f]; }
};

// The eight columns the site list shows: ID, Onvan, Address, Mozoo, Modir, Mobile,
// Yahoo, Email.
struct SiteListRow
{
    qint64 id = 0;
    std::array<QString, 7> texts;
};

struct CategoryRecord
{
    qint64 id = 0;
    QString title;
};

struct UserRecord
{
    QString userName;
    QString password;
    QString question;
    QString answer;
};

// Where a prefix search looks.
enum class SearchColumn { Onvan, Address, Mozoo, Modir };
// The column's name in Table_Site.
const char *searchColumnName(SearchColumn column);

// The first sites a search finds in ID order: what a screen shows of it.
struct SearchHead
{
    QVector<qint64> ids;
    // Every site was read, so `ids` is the whole result.
    bool whole = false;
};

// A search (of the sites or the phone book) read a slice at a time through its column's
// index, for a result too long to read at once. The position is the last index entry
// read, so each slice starts where the one before it stopped, whatever was read meanwhile.
struct SearchSlices
{
    // Where it looks: program constants, never user text. The column has a COLLATE NOCASE
    // index named after the table's record and the column (Site_Onvan, Contact_Name).
    const char *table = "Table_Site";
    const char *column = "Onvan";
    QString prefix;
    int range = 0;        // which spelling of the prefix is being read
    bool started = false; // within that range, `lastKey` and `lastId` are set
    QByteArray lastKey;   // the column's text at the last entry read
    qint64 lastId = 0;
    QVector<qint64> ids; // found so far; sorted and without repeats once done
    bool done = false;
};

// The site search on `column` for `prefix`, not read yet.
SearchSlices siteSearch(SearchColumn column, const QString &prefix);

} // namespace zorbin::store
