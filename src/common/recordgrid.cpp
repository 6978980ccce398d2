#include "common/recordgrid.h"

#include <QHeaderView>

#include <algorithm>

namespace zorbin::common {

RecordGrid::RecordGrid(int columns, int (*columnWidth)(int column), QWidget *parent)
    : QTableView(parent), m_columns(columns), m_columnWidth(columnWidth)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setAlternatingRowColors(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
}

int RecordGrid::screenRows() const
{
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    return std::max(32, viewport()->height() / rowHeight + 8);
}

void RecordGrid::setModel(QAbstractItemModel *model)
{
    QTableView::setModel(model);
    if (!model)
        return;
    for (int c = 0; c < m_columns; ++c)
        setColumnWidth(c, m_columnWidth(c));
    // Any other change of the rows is laid out and painted in full.
    const auto full = [this] { m_sinceLayout = Change::Other; };
    connect(model, &QAbstractItemModel::modelReset, this, full);
    connect(model, &QAbstractItemModel::layoutChanged, this, full);
    connect(model, &QAbstractItemModel::rowsRemoved, this, full);
    connect(model, &QAbstractItemModel::rowsMoved, this, full);
    connect(model, &QAbstractItemModel::columnsInserted, this, full);
    connect(model, &QAbstractItemModel::columnsRemoved, this, full);
}

void RecordGrid::rowsInserted(const QModelIndex &parent, int start, int end)
{
    const int before = model()->rowCount(parent) - (end - start + 1);
    const int lastShown = rowAt(viewport()->height() - 1);
    // A row the screen shows only in part counts as shown.
    const bool below = !parent.isValid() && start == before && lastShown >= 0 && start > lastShown;
    if (!below)
        m_sinceLayout = Change::Other;
    else if (m_sinceLayout == Change::None)
        m_sinceLayout = Change::AppendedBelow;
    QTableView::rowsInserted(parent, start, end);
}

void RecordGrid::doItemsLayout()
{
    if (std::exchange(m_sinceLayout, Change::None) != Change::AppendedBelow) {
        QTableView::doItemsLayout();
        return;
    }
    // The scroll range grows; the rows on screen are the same, and stay as painted.
    updateGeometries();
}

} // namespace zorbin::common
