#pragma once

#include <QString>
#include <optional>

namespace zorbin::store {

// The name of the database file inside the data folder.
inline constexpr char kDatabaseFileName[] = "ZBDB.mdb";
// The database password every connection supplies.
inline constexpr char kDatabasePassword[] = "$19!*85&=7^2046";

struct ConnectionInfo
{
    QString provider;
    QString dataSource; // path of the database file
    QString password;
};

// The connection text naming the database in `folder`. The contact editor uses the
// form without the final semicolon; both forms parse the same.
QString connectionText(const QString &folder, bool finalSemicolon = true);

// Splits "Key=Value;Key=Value;" into its items. Keys are matched without regard to
// case; a value keeps everything after the first '=' (the password holds '=' and '&').
// Empty items (";;") are skipped. A value in double or single quotes may hold ';' (the
// data source of a folder whose path holds one is written so); a doubled quote inside
// stands for one. Returns nothing when there is no data source.
std::optional<ConnectionInfo> parseConnectionText(const QString &text);

} // namespace zorbin::store
