#pragma once

#include "store/result.h"

#include <QString>

namespace zorbin::store {

// The Persian message for a database that cannot be used (an error of one of the open
// kinds; any other kind is told as a database that did not open, with the engine's words).
QString openErrorMessage(const StoreError &error);

// The user's message for a failed store call: what the window was doing ("سايت حذف نشد."),
// then on its own line the engine's words. Every window words its failures through here,
// so the database is named one way and lines are joined one way.
QString userMessage(const QString &what, const StoreError &error);

} // namespace zorbin::store
