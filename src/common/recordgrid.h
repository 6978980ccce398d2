#pragma once

class QTableView;

namespace zorbin::common {

// The look of a list of records: whole rows picked one at a time, nothing edited in
// place, single-line rows of one height under a header without row numbers, the given
// designed column widths, and the last column taking what a wider window leaves.
void setUpRecordGrid(QTableView *grid, int columns, int (*columnWidth)(int column));

} // namespace zorbin::common
