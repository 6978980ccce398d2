#pragma once

#include <QString>

namespace zorbin::store {
class Store;
}

// The phone book's search per keystroke over 100,000 contacts, store call through to the
// grid's model; fills the contacts first when the database has none. Prints each figure
// beside its target; false when the store failed.
bool benchPhoneBook(zorbin::store::Store &store, const QString &folder);
