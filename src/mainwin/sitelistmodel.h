#pragma once

#include "common/idlistmodel.h"
#include "store/records.h"
#include "store/result.h"
#include "store/rowblocks.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QVector>
#include <functional>
#include <optional>

namespace zorbin::store {
class Store;
}

namespace zorbin::mainwin {

// The site list as the main window's grid shows it. Only the IDs of the listed sites are
// held; the texts of a row are read from the store when the grid first needs them, a block
// of neighbouring rows at a time, and a few blocks are kept.
class SiteListModel : public zorbin::common::IdListModel
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = 8;
    static constexpr int BlockSize =
        zorbin::store::RowBlocks<zorbin::store::SiteListRow>::BlockSize;
    static constexpr int MaxCachedBlocks =
        zorbin::store::RowBlocks<zorbin::store::SiteListRow>::MaxBlocks;

    explicit SiteListModel(zorbin::store::Store &store, QObject *parent = nullptr);

    // Lists every site, ordered by ID. When the store fails the list is empty and the
    // failure is handed back.
    zorbin::store::Result<void> showAll();
    // Lists the first `count` sites by ID: what a screen shows of a long list, at once.
    // True when that is every site.
    zorbin::store::Result<bool> showFirstOfAll(int count);
    // Appends at most `count` further sites to a list begun by showFirstOfAll(), as new
    // rows (the current row and the scroll position stay). True when the list is whole.
    zorbin::store::Result<bool> appendMoreOfAll(int count);
    // Lists the sites whose `column` begins with `prefix`, ordered by ID.
    zorbin::store::Result<void> showSearch(zorbin::store::SearchColumn column,
                                           const QString &prefix);
    // The same search, its first `screenRows` sites at once when it matches many: true when
    // the list is the whole result, otherwise continueSearch() reads the rest.
    zorbin::store::Result<bool> showSearchFirst(zorbin::store::SearchColumn column,
                                                const QString &prefix, int screenRows);
    // Replaces the listed IDs.
    void setIds(const QVector<qint64> &ids) override;

    // The texts of a listed row; a row whose site has gone meanwhile keeps only its ID.
    zorbin::store::SiteListRow rowAt(int row) const;
    // Every listed row, in order.
    QVector<zorbin::store::SiteListRow> allRows() const;
    // Hands `sink` every listed row in order, as allRows() has them, without holding them
    // all: what the list report prints. `sink` answers false to stop.
    zorbin::store::Result<void>
    forEachRow(const std::function<bool(const zorbin::store::SiteListRow &)> &sink,
               int first = 0) const;

    // Designed column widths in pixels.
    static int columnWidth(int column);

Q_SIGNALS:
    // A new list was set (by showAll(), showSearch() or setIds()), whether or not its rows
    // differ from the last one.
    void listReplaced();

protected:
    QString cellText(int row, int column) const override;

private:
    zorbin::store::RowBlocks<zorbin::store::SiteListRow> m_rows;
    // Whether the listed IDs ascend without repeats, as of change m_ascendingAt.
    mutable bool m_ascending = false;
    mutable std::optional<quint64> m_ascendingAt;
};

// Draws each cell of the site grid in the direction of its own text, so that a long cell is
// cut at its end: a Latin address or e-mail on its right, a Persian title on its left. The
// cells stay flush right.
class SiteCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

} // namespace zorbin::mainwin
