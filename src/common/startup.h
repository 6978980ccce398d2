#pragma once

#include "store/store.h"

#include <QString>
#include <memory>

namespace zorbin::ui {

// The Persian message for a database that cannot be used.
QString openErrorMessage(const store::OpenResult &result);

// Makes the data folder ready: when it holds no database, the new-installation database
// and images/none.jpg. Then opens the database. On failure returns nothing and puts the
// message for the user in `message`. With `verify` false the store is only connected
// and the caller runs Store::verify() before anything else.
std::unique_ptr<store::Store> openDataFolder(const QString &folder, QString *message,
                                             bool verify = true);

} // namespace zorbin::ui
