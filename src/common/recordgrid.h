#pragma once

#include <QTableView>

namespace zorbin::common {

// A list of records: whole rows picked one at a time, nothing edited in place, single-line
// rows of one height under a header without row numbers, the given designed column widths,
// set with its model, and the last column taking what a wider window leaves.
//
// Rows appended below the screen (the rest of a long list or search read after its first
// screen) change the scroll bar, not the rows shown: the grid then lays itself out without
// painting its rows again.
class RecordGrid : public QTableView
{
    Q_OBJECT
public:
    RecordGrid(int columns, int (*columnWidth)(int column), QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    // The rows a first screen of a long list reads: what the grid shows, and a few more.
    int screenRows() const;
    void doItemsLayout() override;

protected Q_SLOTS:
    void rowsInserted(const QModelIndex &parent, int start, int end) override;

private:
    int m_columns;
    int (*m_columnWidth)(int column);
    // What changed in the rows since the grid was last laid out.
    enum class Change { None, AppendedBelow, Other };
    Change m_sinceLayout = Change::None;
};

} // namespace zorbin::common
