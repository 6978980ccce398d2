#pragma once

#include "store/records.h"
#include "store/result.h"

#include <QAbstractTableModel>
#include <QVector>
#include <functional>
#include <optional>
#include <span>

namespace zorbin::store {
class Store;
}

namespace zorbin::common {

// A column of a record grid: its heading and its designed width in pixels.
struct ListColumn
{
    const char *heading;
    int width;
};

// A grid's list of records, held as their IDs in the order listed: the ID in the first
// column, the texts a subclass gives in the others.
class IdListModel : public QAbstractTableModel
{
public:
    const QVector<qint64> &ids() const { return m_ids; }
    qint64 idAt(int row) const;
    // Replaces the listed IDs; a search being read is dropped.
    virtual void setIds(const QVector<qint64> &ids) = 0;
    // Reads at most `count` more IDs of a search whose first screen is listed. Once it is
    // whole, its rows follow the first screen's as new rows (the current row and the scroll
    // position stay). True when the list is whole.
    zorbin::store::Result<bool> continueSearch(int count);
    // Reads the rest of a search whose first screen is listed, `slice` IDs at a time, to
    // its end (nothing to do when none is being read).
    zorbin::store::Result<void> finishSearch(int slice);
    // The first screen of a search is listed and its rest is still being read.
    bool readingSearch() const { return m_pendingSearch.has_value(); }

    // The ID column centred, the others flush right; absolute, so that right stays right
    // in the right-to-left window.
    static Qt::Alignment columnAlignment(int column);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

protected:
    // `columns` outlives the model; `centredHeadings` centres the heading texts.
    IdListModel(zorbin::store::Store &store, std::span<const ListColumn> columns,
                bool centredHeadings, QObject *parent);
    // Lists the first `screenRows` matches of `search` at once when it matches many: true
    // when that is the whole result, otherwise continueSearch() reads the rest. Few
    // matches are listed whole at once through `whole`.
    zorbin::store::Result<bool>
    showSearchHead(zorbin::store::SearchSlices search, int screenRows,
                   const std::function<zorbin::store::Result<void>()> &whole);
    // The text of column `column` (1 and on) of listed row `row`.
    virtual QString cellText(int row, int column) const = 0;
    static int widthOf(std::span<const ListColumn> columns, int column);

    zorbin::store::Store &m_store;
    QVector<qint64> m_ids;
    quint64 m_idsChanges = 0; // counts each change of m_ids, for what is worked out of them
    // A search whose first screen is listed and whose rest is being read.
    std::optional<zorbin::store::SearchSlices> m_pendingSearch;

private:
    std::span<const ListColumn> m_columns;
    bool m_centredHeadings;
};

} // namespace zorbin::common
