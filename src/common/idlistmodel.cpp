#include "common/idlistmodel.h"

#include "store/store.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace zorbin::common {

IdListModel::IdListModel(zorbin::store::Store &store, std::span<const ListColumn> columns,
                         bool centredHeadings, QObject *parent)
    : QAbstractTableModel(parent), m_store(store), m_columns(columns),
      m_centredHeadings(centredHeadings)
{
}

namespace {

// Records read in ID order for a search's first screen before its column's index is used
// instead: the geometric mean of the screen and the records, so that neither way reads
// many more entries than the other needs when the matches are just too sparse for the scan.
int headScanLimit(qint64 records, int wanted)
{
    const double balanced = std::sqrt(double(wanted) * double(std::max<qint64>(records, 1)));
    return int(std::clamp(balanced, 4.0 * wanted, 16384.0));
}

} // namespace

zorbin::store::Result<bool>
IdListModel::showSearchHead(zorbin::store::SearchSlices search, int screenRows,
                            const std::function<zorbin::store::Result<void>()> &whole)
{
    const auto records = m_store.maxId(search);
    const auto head =
        records
            ? m_store.searchHead(search, screenRows, headScanLimit(*records, screenRows))
            : zorbin::store::Result<zorbin::store::SearchHead>(std::unexpected(records.error()));
    if (!head || head->whole || head->ids.size() < screenRows) {
        // Few matches (or none readable this way): the whole result at once.
        const auto all = whole();
        if (!all)
            return std::unexpected(all.error());
        return true;
    }
    setIds(head->ids);
    m_pendingSearch = std::move(search);
    return false;
}

zorbin::store::Result<bool> IdListModel::continueSearch(int count)
{
    if (!m_pendingSearch)
        return true;
    const auto done = m_store.searchSlice(*m_pendingSearch, count);
    if (!done.has_value()) {
        m_pendingSearch.reset();
        return std::unexpected(done.error());
    }
    if (!*done)
        return false;
    const QVector<qint64> all = std::exchange(m_pendingSearch, std::nullopt)->ids;
    if (all.size() >= m_ids.size() && std::equal(m_ids.begin(), m_ids.end(), all.begin())) {
        if (all.size() > m_ids.size()) {
            const int first = int(m_ids.size());
            beginInsertRows(QModelIndex(), first, int(all.size()) - 1);
            m_ids = all;
            ++m_idsChanges;
            endInsertRows();
        }
    } else {
        // The records changed while the rest was read: the whole result replaces the list.
        setIds(all);
    }
    return true;
}

zorbin::store::Result<void> IdListModel::finishSearch(int slice)
{
    zorbin::store::Result<bool> whole = !m_pendingSearch.has_value();
    while (whole.has_value() && !*whole)
        whole = continueSearch(slice);
    if (!whole.has_value())
        return std::unexpected(whole.error());
    return {};
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
