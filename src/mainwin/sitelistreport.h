#pragma once

#include "common/report.h"
#include "store/records.h"
#include "store/result.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <vector>

class QPaintDevice;

namespace zorbin::mainwin {

// The printed site list: exactly the rows it is given, seven columns right to left, the
// title and the heading row on every page and "page n of m" at the foot of each.
class SiteListReport : public zorbin::common::report::Report
{
public:
    using RowSink = std::function<bool(const zorbin::store::SiteListRow &)>;
    // Hands each row from the `first` one on to the sink, in order, until it answers
    // false; the rows are read as they are laid out and not kept, so a list of any length
    // prints in bounded memory.
    using RowSource = std::function<zorbin::store::Result<void>(int first, const RowSink &)>;

    explicit SiteListReport(QVector<zorbin::store::SiteListRow> rows);
    SiteListReport(RowSource source, int records);

    QVector<zorbin::common::report::Page> layout(const QPaintDevice *device) const override;
    int records() const override;
    // The counting pass measures each row once, keeping only how many lines each cell
    // takes (two bits a cell) and the row each page starts with; a page is laid out from
    // its first row with those counts, so it breaks exactly where it was counted.
    std::unique_ptr<zorbin::common::report::Pages> pages() const override;

    static QString title();
    // Headings from the rightmost column to the leftmost one.
    static const QStringList &headings();

private:
    class Paged;
    std::unique_ptr<Paged> paged(const QPaintDevice *device) const;

    RowSource m_source;
    int m_records = 0;
};

} // namespace zorbin::mainwin
