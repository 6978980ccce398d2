#pragma once

#include <QString>
#include <QStringList>
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

} // namespace zorbin::store
