#include "common/idlistmodel.h"

namespace zorbin::common {

IdListModel::IdListModel(std::span<const ListColumn> columns, bool centredHeadings, QObject *parent)
    : QAbstractTableModel(parent), m_columns(columns), m_centredHeadings(centredHeadings)
{
}

qint64 IdListModel::idAt(int row) const
{
    return row >= 0 && row < m_ids.size() ? m_ids.at(row) : 0;
}

Qt::Alignment IdListModel::columnAlignment(int column)
{
    return Qt::AlignVCenter | Qt::AlignAbsolute | (column == 0 ? Qt::AlignHCenter : Qt::AlignRight);
}

int IdListModel::widthOf(std::span<const ListColumn> columns, int column)
{
    return column >= 0 && column < int(columns.size()) ? columns[size_t(column)].width : 0;
}

int IdListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_ids.size());
}

int IdListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant IdListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_ids.size())
        return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        if (column == 0)
            return QString::number(m_ids.at(index.row()));
        return cellText(index.row(), column);
    case Qt::TextAlignmentRole:
        return int(columnAlignment(column));
    default:
        return {};
    }
}

QVariant IdListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(m_columns.size()))
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(m_columns[size_t(section)].heading);
    if (role == Qt::TextAlignmentRole && m_centredHeadings)
        return int(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags IdListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace zorbin::common
