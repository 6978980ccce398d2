#pragma once

#include "store/importoutcome.h"

#include <QVector>

namespace zorbin::store {

class Store;

// Writes sites to a CSV file in KeePassXC's layout (Group, Title, Username, Password, URL,
// Notes, ...), which KeePassXC and most password managers read: subject, title, user name,
// password, address and notes, in UTF-8, every field quoted. The passwords stand in clear
// text, so the file is 0600, written under a temporary name and renamed into place; rows
// are read and written one at a time.
class SiteCsvExport
{
public:
    // `ids` in the order they are written. `progress` gets the rows written and their
    // number; false stops, leaving nothing under `path`.
    static Result<void> write(Store &store, const QVector<qint64> &ids, const QString &path,
                              const ImportProgress &progress = {});
};

} // namespace zorbin::store
