#include "common/recordgrid.h"

#include <QHeaderView>
#include <QTableView>

namespace zorbin::common {

void setUpRecordGrid(QTableView *grid, int columns, int (*columnWidth)(int column))
{
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->setAlternatingRowColors(true);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setStretchLastSection(true);
    for (int c = 0; c < columns; ++c)
        grid->setColumnWidth(c, columnWidth(c));
}

} // namespace zorbin::common
