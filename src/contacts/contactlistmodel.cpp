#include "contacts/contactlistmodel.h"

#include "store/store.h"

#include <algorithm>
#include <array>

using zorbin::store::ContactListRow;
using zorbin::store::ContactSearchColumn;

namespace {

struct Column
{
    const char *heading;
    int width; // pixels: the designed width in twips over 15
};

const std::array<Column, ContactListModel::ColumnCount> &columns()
{
    static const std::array<Column, ContactListModel::ColumnCount> list{{
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
    : QAbstractTableModel(parent), m_store(store),
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

void ContactListModel::setIds(const QVector<qint64> &ids)
{
    beginResetModel();
    m_ids = ids;
    m_rows.clear();
    endResetModel();
}

qint64 ContactListModel::idAt(int row) const
{
    return row >= 0 && row < m_ids.size() ? m_ids.at(row) : 0;
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
    return column >= 0 && column < ColumnCount ? columns()[size_t(column)].width : 0;
}

Qt::Alignment ContactListModel::columnAlignment(int column)
{
    // Absolute, so that right stays right in the right-to-left window.
    return Qt::AlignVCenter | Qt::AlignAbsolute | (column == 0 ? Qt::AlignHCenter : Qt::AlignRight);
}

int ContactListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_ids.size());
}

int ContactListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ContactListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_ids.size())
        return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        if (column == 0)
            return QString::number(m_ids.at(index.row()));
        return contactColumnText(rowAt(index.row()), column);
    case Qt::TextAlignmentRole:
        return int(columnAlignment(column));
    default:
        return {};
    }
}

QVariant ContactListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(columns()[size_t(section)].heading);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags ContactListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
