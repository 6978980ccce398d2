#pragma once

#include "common/report.h"
#include "store/contactrecords.h"

#include <QString>
#include <QStringList>
#include <QVector>

class QPaintDevice;

namespace zorbin::contacts {

// The printed phone book: exactly the rows it is given, one line per contact, six columns
// right to left under a grey title band, the column captions on every page and "page n of
// m" at the foot of each.
class ContactListReport : public zorbin::common::report::Report
{
public:
    explicit ContactListReport(QVector<zorbin::store::ContactListRow> rows);

    QVector<zorbin::common::report::Page> layout(const QPaintDevice *device) const override;
    int records() const override;
    // Any page alone: where each starts follows from how many lines a page holds, so the
    // pages are neither counted by laying them out nor held.
    std::unique_ptr<zorbin::common::report::Pages> pages() const override;
    // Page `index` of `pages` as laid out on `device`, footer included.
    zorbin::common::report::Page layOutPage(const QPaintDevice *device, int index, int pages) const;

    static QString title();
    // Captions from the rightmost column to the leftmost one.
    static const QStringList &headings();

private:
    QVector<zorbin::store::ContactListRow> m_rows;
};

} // namespace zorbin::contacts
