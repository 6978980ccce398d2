#include "mainwin/sitelistmodel.h"

#include "store/store.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace zorbin::mainwin {

using zorbin::store::SearchColumn;
using zorbin::store::SiteListRow;

namespace {

using zorbin::common::ListColumn;

// Headings and widths of the eight columns of the site list, in query order.
const std::array<ListColumn, SiteListModel::ColumnCount> &columns()
{
    static const std::array<ListColumn, SiteListModel::ColumnCount> list{{
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
    : IdListModel(store, columns(), false, parent),
      m_rows([&store](const QVector<qint64> &ids) { return store.siteListRows(ids); })
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

zorbin::store::Result<bool> SiteListModel::showFirstOfAll(int count)
{
    const auto ids = m_store.siteIdsAfter(std::numeric_limits<qint64>::min(), count);
    setIds(ids.value_or(QVector<qint64>()));
    if (!ids)
        return std::unexpected(ids.error());
    return ids->size() < count;
}

zorbin::store::Result<bool> SiteListModel::appendMoreOfAll(int count)
{
    const auto ids = m_store.siteIdsAfter(
        m_ids.isEmpty() ? std::numeric_limits<qint64>::min() : m_ids.last(), count);
    if (!ids)
        return std::unexpected(ids.error());
    if (!ids->isEmpty()) {
        const int first = int(m_ids.size());
        beginInsertRows(QModelIndex(), first, first + int(ids->size()) - 1);
        m_ids += *ids;
        ++m_idsChanges;
        endInsertRows();
    }
    return ids->size() < count;
}

zorbin::store::Result<void> SiteListModel::showSearch(SearchColumn column, const QString &prefix)
{
    return showIds(*this, m_store.searchSites(column, prefix));
}

zorbin::store::Result<bool> SiteListModel::showSearchFirst(SearchColumn column,
                                                           const QString &prefix, int screenRows)
{
    return showSearchHead(zorbin::store::siteSearch(column, prefix), screenRows,
                          [&]() { return showSearch(column, prefix); });
}

void SiteListModel::setIds(const QVector<qint64> &ids)
{
    m_pendingSearch.reset();
    if (ids == m_ids) {
        // The same sites: their texts may have changed, the rows did not. Cheaper for the
        // grid than a reset, which drops and rebuilds its row sections.
        m_rows.clear();
        if (!m_ids.isEmpty())
            Q_EMIT dataChanged(index(0, 0), index(int(m_ids.size()) - 1, ColumnCount - 1));
    } else {
        beginResetModel();
        m_ids = ids;
        ++m_idsChanges;
        m_rows.clear();
        endResetModel();
    }
    Q_EMIT listReplaced();
}

SiteListRow SiteListModel::rowAt(int row) const
{
    if (row < 0 || row >= m_ids.size())
        return {};
    return m_rows.row(m_ids, row);
}

QVector<SiteListRow> SiteListModel::allRows() const
{
    QVector<SiteListRow> rows;
    rows.reserve(m_ids.size());
    for (int first = 0; first < m_ids.size(); first += BlockSize) {
        const int end = std::min<int>(first + BlockSize, int(m_ids.size()));
        if (m_rows.kept(first)) {
            for (int r = first; r < end; ++r)
                rows.append(*m_rows.kept(r));
        } else {
            rows.append(m_rows.read(m_ids, first, end));
        }
    }
    return rows;
}

zorbin::store::Result<void>
SiteListModel::forEachRow(const std::function<bool(const SiteListRow &)> &sink, int first) const
{
    first = qMax(0, first);
    // Rows of blocks the grid holds come from there, as the grid shows them; the others
    // stream from the store, read in ID order by one statement and never all held.
    if (first >= m_ids.size())
        return {};
    // Worked out once per list: a long report asks for its rows from many first rows.
    if (m_ascendingAt != m_idsChanges) {
        m_ascending = std::is_sorted(m_ids.begin(), m_ids.end()) &&
                      std::adjacent_find(m_ids.begin(), m_ids.end()) == m_ids.end();
        m_ascendingAt = m_idsChanges;
    }
    if (!m_ascending) {
        const QVector<SiteListRow> rows = allRows();
        for (qsizetype r = first; r < rows.size(); ++r)
            if (!sink(rows[r]))
                break;
        return {};
    }
    int next = first; // the next listed row to hand over
    bool more = true;
    // Hands over the listed rows before `stop` that the store did not give: cached ones as
    // cached, gone ones with their ID only.
    const auto catchUp = [&](int stop) {
        for (; more && next < stop; ++next) {
            if (const SiteListRow *kept = m_rows.kept(next)) {
                more = sink(*kept);
            } else {
                SiteListRow gone;
                gone.id = m_ids.at(next);
                more = sink(gone);
            }
        }
    };
    auto read = m_store.forEachSiteListRow(
        std::span<const qint64>(m_ids.constData() + first, size_t(m_ids.size() - first)),
        [&](const SiteListRow &row) {
            const int at =
                int(std::lower_bound(m_ids.begin() + next, m_ids.end(), row.id) - m_ids.begin());
            catchUp(at);
            if (!more)
                return false;
            const SiteListRow *kept = m_rows.kept(next);
            more = sink(kept ? *kept : row);
            ++next;
            return more;
        });
    if (!read)
        return read;
    catchUp(int(m_ids.size()));
    return {};
}

int SiteListModel::columnWidth(int column)
{
    return widthOf(columns(), column);
}

QString SiteListModel::cellText(int row, int column) const
{
    return rowAt(row).texts[size_t(column - 1)];
}

void SiteCellDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    // The text's first strong letter decides, as it would for a paragraph of its own.
    option->direction = option->text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    option->textElideMode = Qt::ElideRight;
}

} // namespace zorbin::mainwin
