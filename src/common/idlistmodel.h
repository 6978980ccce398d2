#pragma once

#include <QAbstractTableModel>
#include <QVector>
#include <span>

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
    IdListModel(std::span<const ListColumn> columns, bool centredHeadings, QObject *parent);
    // The text of column `column` (1 and on) of listed row `row`.
    virtual QString cellText(int row, int column) const = 0;
    static int widthOf(std::span<const ListColumn> columns, int column);

    QVector<qint64> m_ids;

private:
    std::span<const ListColumn> m_columns;
    bool m_centredHeadings;
};

} // namespace zorbin::common
