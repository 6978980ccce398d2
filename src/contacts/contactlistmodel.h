#pragma once

#include "common/idlistmodel.h"
#include "store/contactrecords.h"
#include "store/result.h"
#include "store/rowblocks.h"

#include <QAbstractTableModel>
#include <QVector>

namespace zorbin::store {
class Store;
}

namespace zorbin::contacts {

// The phone book as its grid shows it. Only the IDs of the listed contacts are held; the
// texts are read from the store a block of neighbouring rows at a time when the grid first
// needs them, and a few blocks are kept.
class ContactListModel : public zorbin::common::IdListModel
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = 7;

    explicit ContactListModel(zorbin::store::Store &store, QObject *parent = nullptr);

    // Lists every contact, ordered by ID.
    zorbin::store::Result<void> showAll();
    // Lists the contacts whose name (or mobile) begins with `prefix`, ordered by ID. When the
    // store fails the rows listed before stay.
    zorbin::store::Result<void> showSearch(zorbin::store::ContactSearchColumn column,
                                           const QString &prefix);
    // The same search, its first `screenRows` contacts at once when it matches many: true
    // when the list is the whole result, otherwise continueSearch() reads the rest.
    zorbin::store::Result<bool> showSearchFirst(zorbin::store::ContactSearchColumn column,
                                                const QString &prefix, int screenRows);
    void setIds(const QVector<qint64> &ids) override;

    // The texts of a listed row; a contact gone meanwhile keeps only its ID.
    zorbin::store::ContactListRow rowAt(int row) const;
    // Every listed row, in order (for the printed list).
    zorbin::store::Result<QVector<zorbin::store::ContactListRow>> allRows() const;

    // Designed column widths in pixels.
    static int columnWidth(int column);

protected:
    QString cellText(int row, int column) const override;

private:
    zorbin::store::RowBlocks<zorbin::store::ContactListRow> m_rows;
};

// The text of a row's column as the grid and the printed list show it (0 is the ID).
QString contactColumnText(const zorbin::store::ContactListRow &row, int column);

} // namespace zorbin::contacts
