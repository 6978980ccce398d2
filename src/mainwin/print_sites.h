#pragma once

#include "common/report.h"
#include "store/records.h"

#include <QString>
#include <QStringList>
#include <QVector>

class QPaintDevice;

// The printed site list: exactly the rows it is given, seven columns right to left, the
// title and the heading row on every page and "page n of m" at the foot of each.
class Print_Sites : public zorbin::report::Report
{
public:
    explicit Print_Sites(QVector<zorbin::store::SiteListRow> rows);

    QVector<zorbin::report::Page> layout(const QPaintDevice *device) const override;
    int records() const override;

    static QString title();
    // Headings from the rightmost column to the leftmost one.
    static const QStringList &headings();

private:
    QVector<zorbin::store::SiteListRow> m_rows;
};
