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
    // Hands each row to print to the sink, in order; the rows are read as they are laid
    // out and not kept, so a list of any length prints in bounded memory.
    using RowSource = std::function<zorbin::store::Result<void>(const RowSink &)>;

    explicit SiteListReport(QVector<zorbin::store::SiteListRow> rows);
    SiteListReport(RowSource source, int records);

    QVector<zorbin::common::report::Page> layout(const QPaintDevice *device) const override;
    int records() const override;
    // Lays the pages out twice, the first time only to count them for the footers, and
    // paints each page as it is made: neither the rows nor the pages are all held, only
    // how many lines each cell took the first time (two bits a cell), so that the second
    // time breaks the same rows onto the same pages without measuring them again.
    bool render(QPrinter *printer) const override;
    // The same, its painting stopped after `maxPages` pages.
    bool renderPreview(QPrinter *printer, int maxPages, int *total) const override;

    static QString title();
    // Headings from the rightmost column to the leftmost one.
    static const QStringList &headings();

private:
    // Lines of each cell of a row, two bits a cell, from the rightmost column.
    using RowLines = quint16;
    // Lays out the rows, handing each finished page (without its footer) to `pageDone`;
    // false when the rows could not all be read. With `counted`, it only counts: each
    // row's cell line counts are added to it and the pages handed on hold no cell texts.
    // With `known`, the counts from such a pass over the same rows stand in for measuring
    // the cells of one line.
    bool layOut(const QPaintDevice *device,
                const std::function<bool(zorbin::common::report::Page &&)> &pageDone,
                std::vector<RowLines> *counted = nullptr,
                const std::vector<RowLines> *known = nullptr) const;
    zorbin::common::report::Item footer(const QPaintDevice *device, int page, int pages) const;
    // Paints the first `maxPages` pages (all when 0); `total`, when given, gets their count.
    bool renderUpTo(QPrinter *printer, int maxPages, int *total) const;

    RowSource m_source;
    int m_records = 0;
};

} // namespace zorbin::mainwin
