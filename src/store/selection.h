#pragma once

#include <QtGlobal>

namespace zorbin::store {

// The record chosen in a list window and the mode a record window opens in. The list
// windows set it before they show a record window; the record window reads it when it
// becomes active and clears the flags after a save and when it closes.
struct Selection
{
    qint64 selectedId = 0;
    bool editMode = false;
    bool viewMode = false;
};

} // namespace zorbin::store
