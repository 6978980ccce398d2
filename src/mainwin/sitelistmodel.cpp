#include "mainwin/sitelistmodel.h"

#include "store/store.h"

#include <array>

using zorbin::store::SearchColumn;
using zorbin::store::SiteListRow;

namespace {

struct Column
{
    const char *heading;
    int width;
};

// Headings and widths of the eight columns of the site list, in query order.
const std::array<Column, SiteListModel::ColumnCount> &columns()
{
    static const std::array<Column, SiteListModel::ColumnCount> list{{
        {".", 28},
        {"عنوان سايت", 156},
        {"آدرس سايت", 171},
        {"موضوع سايت", 103},
        {"مديـرسايت", 90},
        {"تلفـن تماس", 89},
        {"شناسه ياهو", 92},
        {"ايميـل سايت", 148},
    }};
    return list;
}

} // namespace

SiteListModel::SiteListModel(zorbin::store::Store &store, QObject *parent)
    : QAbstractTableModel(parent), m_store(store)
{
}

namespace {

zorbin::store::Result<void> showIds(SiteListModel &model,
                                    const zorbin::store::Result<QVector<qint64>> &ids)
{
    model.setIds(ids.value_or(QVector<qint64>()));
    if (!ids)
        return std::unexpected(ids.error());
    return {};
}

} // namespace

zorbin::store::Result<void> SiteListModel::showAll()
{
    return showIds(*this, m_store.siteIds());
}

zorbin::store::Result<void> SiteListModel::showSearch(SearchColumn column, const QString &prefix)
{
    return showIds(*this, m_store.searchSites(column, prefix));
}

void SiteListModel::setIds(const QVector<qint64> &ids)
{
    beginResetModel();
    m_ids = ids;
    m_blocks.clear();
    m_blockOrder.clear();
    endResetModel();
}

qint64 SiteListModel::idAt(int row) const
{
    return row >= 0 && row < m_ids.size() ? m_ids.at(row) : 0;
}

SiteListRow SiteListModel::fetchRow(qint64 id) const
{
    // A row whose site has gone meanwhile, or could not be read, keeps only its ID.
    if (auto row = m_store.siteListRow(id))
        return *row;
    SiteListRow gone;
    gone.id = id;
    return gone;
}

const QVector<SiteListRow> &SiteListModel::block(int blockIndex) const
{
    auto it = m_blocks.find(blockIndex);
    if (it != m_blocks.end()) {
        if (m_blockOrder.last() != blockIndex) {
            m_blockOrder.removeOne(blockIndex);
            m_blockOrder.append(blockIndex);
        }
        return *it;
    }
    if (m_blocks.size() >= MaxCachedBlocks)
        m_blocks.remove(m_blockOrder.takeFirst());

    const int first = blockIndex * BlockSize;
    const int end = std::min<int>(first + BlockSize, int(m_ids.size()));
    QVector<SiteListRow> rows;
    rows.reserve(end - first);
    for (int r = first; r < end; ++r)
        rows.append(fetchRow(m_ids.at(r)));
    m_blockOrder.append(blockIndex);
    return *m_blocks.insert(blockIndex, rows);
}

SiteListRow SiteListModel::rowAt(int row) const
{
    if (row < 0 || row >= m_ids.size())
        return {};
    return block(row / BlockSize).at(row % BlockSize);
}

QVector<SiteListRow> SiteListModel::allRows() const
{
    QVector<SiteListRow> rows;
    rows.reserve(m_ids.size());
    for (int r = 0; r < m_ids.size(); ++r) {
        const auto cached = m_blocks.constFind(r / BlockSize);
        rows.append(cached != m_blocks.constEnd() ? cached->at(r % BlockSize)
                                                  : fetchRow(m_ids.at(r)));
    }
    return rows;
}

int SiteListModel::columnWidth(int column)
{
    return column >= 0 && column < ColumnCount ? columns()[size_t(column)].width : 0;
}

Qt::Alignment SiteListModel::columnAlignment(int column)
{
    // Absolute, so that right stays right in the right-to-left window.
    return Qt::AlignVCenter | Qt::AlignAbsolute | (column == 0 ? Qt::AlignHCenter : Qt::AlignRight);
}

int SiteListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_ids.size());
}

int SiteListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SiteListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_ids.size())
        return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        if (column == 0)
            return QString::number(m_ids.at(index.row()));
        return rowAt(index.row()).texts[size_t(column - 1)];
    case Qt::TextAlignmentRole:
        return int(columnAlignment(column));
    default:
        return {};
    }
}

QVariant SiteListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(columns()[size_t(section)].heading);
    return {};
}

Qt::ItemFlags SiteListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
