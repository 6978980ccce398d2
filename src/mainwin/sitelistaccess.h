#pragma once

#include "store/records.h"
#include "store/result.h"

#include <QString>
#include <QVector>
#include <functional>

namespace zorbin::mainwin {

// What the site actions and menus need of the main window's list.
class SiteListAccess
{
public:
    virtual ~SiteListAccess() = default;
    // Rows the grid shows now (full list or search result).
    virtual int shownCount() const = 0;
    // The ID, title, address and administrator's mobile of the grid's current row
    // (0 and empty texts when the grid is empty).
    virtual qint64 selectedId() const = 0;
    virtual QString selectedTitle() const = 0;
    virtual QString selectedAddress() const = 0;
    virtual QString selectedMobile() const = 0;
    // The rows the grid shows, in order.
    virtual QVector<zorbin::store::SiteListRow> shownRows() const = 0;
    // The same rows from the `first` one on, handed to `sink` one at a time, for the list
    // report, which need not hold them all; `sink` answers false to stop.
    virtual zorbin::store::Result<void>
    forEachShownRow(const std::function<bool(const zorbin::store::SiteListRow &)> &sink,
                    int first = 0) const
    {
        const QVector<zorbin::store::SiteListRow> rows = shownRows();
        for (qsizetype r = qMax(0, first); r < rows.size(); ++r)
            if (!sink(rows[r]))
                break;
        return {};
    }
    // Reads to its end a long list or search whose rest is still arriving, so that what
    // follows (a report, an export) has every row; false, the user told, when it could not
    // be read.
    virtual bool readWholeList() { return true; }
    // Back to the full list; the total count is refreshed.
    virtual void reloadList() = 0;
    virtual void focusSearch() = 0;
};

} // namespace zorbin::mainwin
