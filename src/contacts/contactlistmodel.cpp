#include "contacts/contactlistmodel.h"

#include "store/store.h"

#include <algorithm>
#include <array>

namespace zorbin::contacts {

using zorbin::store::ContactListRow;
using zorbin::store::ContactSearchColumn;

namespace {

// Headings and widths (pixels: the designed width in twips over 15).
const std::array<zorbin::common::ListColumn, ContactListModel::ColumnCount> &columns()
{
    static const std::array<zorbin::common::ListColumn, ContactListModel::ColumnCount> list{{
        {".", 28},
        {"نام و نام خانوادگي", 164},
        {"گروه", 110},
        {"تلفن همراه", 113},
        {"تلفن منزل", 105},
        {"شغل يا تخصص", 128},
        {"ايميـل سايت", 178},
    }};
    return list;
}

} // namespace

QString contactColumnText(const ContactListRow &row, int column)
{
    switch (column) {
    case 0:
        return QString::number(row.id);
    case 1:
        return row.name;
    case 2:
        return row.group;
    case 3:
        return row.mobile;
    case 4:
        return row.home;
    case 5:
        return row.job;
    case 6:
        return row.email;
    default:
        return {};
    }
}

ContactListModel::ContactListModel(zorbin::store::Store &store, QObject *parent)
    : IdListModel(store, columns(), true, parent),
      m_rows([&store](const QVector<qint64> &ids) { return store.contactListRows(ids); })
{
}

zorbin::store::Result<void> ContactListModel::showAll()
{
    auto ids = m_store.contactIds();
    setIds(ids.value_or(QVector<qint64>()));
    if (!ids)
        return std::unexpected(ids.error());
    return {};
}

zorbin::store::Result<void> ContactListModel::showSearch(ContactSearchColumn column,
                                                         const QString &prefix)
{
    auto ids = m_store.searchContacts(column, prefix);
    if (!ids)
        return std::unexpected(ids.error());
    setIds(*ids);
    return {};
}

zorbin::store::Result<bool> ContactListModel::showSearchFirst(ContactSearchColumn column,
                                                              const QString &prefix, int screenRows)
{
    return showSearchHead(zorbin::store::contactSearch(column, prefix), screenRows,
                          [&]() { return showSearch(column, prefix); });
}

void ContactListModel::setIds(const QVector<qint64> &ids)
{
    m_pendingSearch.reset();
    beginResetModel();
    m_ids = ids;
    ++m_idsChanges;
    m_rows.clear();
    endResetModel();
}

ContactListRow ContactListModel::rowAt(int row) const
{
    if (row < 0 || row >= m_ids.size())
        return {};
    return m_rows.row(m_ids, row);
}

zorbin::store::Result<QVector<ContactListRow>> ContactListModel::allRows() const
{
    return m_store.contactListRows(m_ids);
}

int ContactListModel::columnWidth(int column)
{
    return widthOf(columns(), column);
}

QString ContactListModel::cellText(int row, int column) const
{
    return contactColumnText(rowAt(row), column);
}

} // namespace zorbin::contacts
