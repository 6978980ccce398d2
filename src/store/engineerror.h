#pragma once

#include "store/result.h"

#include <sqlite3.h>

namespace zorbin::store {

// The engine's last failure on `db` as a store error: Busy when another program held the
// database, else Engine; `what` names the call.
inline std::unexpected<StoreError> engineFailure(sqlite3 *db, const char *what)
{
    const int code = sqlite3_errcode(db) & 0xFF;
    const auto kind = (code == SQLITE_BUSY || code == SQLITE_LOCKED) ? StoreError::Kind::Busy
                                                                     : StoreError::Kind::Engine;
    return failure(kind, QString::fromLatin1(what) + QStringLiteral(": ") +
                             QString::fromUtf8(sqlite3_errmsg(db)));
}

} // namespace zorbin::store
