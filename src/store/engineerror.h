#pragma once

#include "store/result.h"

#include <sqlite3.h>

namespace zorbin::store {

// The engine's last failure on `db` as a store error in its own words: Busy when another
// program held the database, else Engine.
inline StoreError engineErrorOf(sqlite3 *db)
{
    const int code = sqlite3_errcode(db) & 0xFF;
    const auto kind = (code == SQLITE_BUSY || code == SQLITE_LOCKED) ? StoreError::Kind::Busy
                                                                     : StoreError::Kind::Engine;
    return {kind, QString::fromUtf8(sqlite3_errmsg(db))};
}

// The same, with `what` naming the call in front of the engine's words.
inline std::unexpected<StoreError> engineFailure(sqlite3 *db, const char *what)
{
    StoreError error = engineErrorOf(db);
    error.detail = QString::fromLatin1(what) + QStringLiteral(": ") + error.detail;
    return std::unexpected(error);
}

} // namespace zorbin::store
