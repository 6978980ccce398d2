#pragma once

#include "store/records.h"

#include <QString>
#include <QVector>

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
    // The rows the grid shows, in order, for the list report.
    virtual QVector<zorbin::store::SiteListRow> shownRows() const = 0;
    // Back to the full list; the total count is refreshed.
    virtual void reloadList() = 0;
    virtual void focusSearch() = 0;
};
