#include "mainwin/sitelistreport.h"

#include <QHash>
#include <QPainter>
#include <QPrinter>

#include <array>
#include <utility>

namespace zorbin::mainwin {

using namespace zorbin;
namespace report = zorbin::common::report;
using report::Item;
using report::Page;
using report::Role;

namespace {

// Share of the line each column takes, rightmost column first.
constexpr std::array<qreal, 7> kShares{0.16, 0.19, 0.12, 0.12, 0.11, 0.12, 0.18};
// A long cell wraps onto this many lines at most and ends in an ellipsis after that.
constexpr int kMaxCellLines = 3;
static_assert(kMaxCellLines <= 3, "a cell's line count is kept in two bits");

} // namespace

SiteListReport::SiteListReport(QVector<store::SiteListRow> rows)
    : SiteListReport(
          [rows = std::move(rows)](const RowSink &sink) -> store::Result<void> {
              for (const store::SiteListRow &row : rows)
                  if (!sink(row))
                      break;
              return {};
          },
          0)
{
    m_source([this](const store::SiteListRow &) {
        ++m_records;
        return true;
    }).value();
}

SiteListReport::SiteListReport(RowSource source, int records)
    : Report(QStringLiteral("Print_Sites"), title(), QPageLayout::Landscape),
      m_source(std::move(source)), m_records(records)
{
}

QString SiteListReport::title()
{
    return QStringLiteral("زوربين  -  ليست سايت ها");
}

const QStringList &SiteListReport::headings()
{
    static const QStringList list{QStringLiteral("عنوان سايت"), QStringLiteral("آدرس سايت"),
                                  QStringLiteral("موضوع سايت"), QStringLiteral("مدير سايت"),
                                  QStringLiteral("تلفن تماس"),  QStringLiteral("شناسه ياهو"),
                                  QStringLiteral("ايميل سايت")};
    return list;
}

QVector<Page> SiteListReport::layout(const QPaintDevice *device) const
{
    QVector<Page> pages;
    layOut(device, [&pages](Page &&page) {
        pages.append(std::move(page));
        return true;
    });
    const int count = int(pages.size());
    for (int p = 0; p < count; ++p)
        pages[p].items.append(footer(device, p + 1, count));
    return pages;
}

report::Item SiteListReport::footer(const QPaintDevice *device, int page, int pages) const
{
    const QRectF area = report::area(device);
    const QFont footerFont = report::font(8);
    const qreal footerHeight = report::lineHeight(footerFont, device);
    return {Role::Footer,
            QRectF(area.left(), area.bottom() - footerHeight, area.width(), footerHeight),
            pageFooter(page, pages),
            footerFont,
            QColor(70, 70, 70),
            Qt::RightToLeft,
            Qt::AlignHCenter};
}

bool SiteListReport::render(QPrinter *printer) const
{
    return renderUpTo(printer, 0, nullptr);
}

bool SiteListReport::renderPreview(QPrinter *printer, int maxPages, int *total) const
{
    return renderUpTo(printer, maxPages, total);
}

bool SiteListReport::renderUpTo(QPrinter *printer, int maxPages, int *total) const
{
    int count = 0;
    std::vector<RowLines> lines;
    lines.reserve(std::size_t(qMax(0, m_records)));
    if (!layOut(
            printer,
            [&count](Page &&) {
                ++count;
                return true;
            },
            &lines))
        return false;
    if (total)
        *total = count;
    const int painted = maxPages > 0 ? qMin(maxPages, count) : count;
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    report::ItemPainter items(painter);
    int number = 0;
    const bool laidOut = layOut(
        printer,
        [&](Page &&page) {
            if (number == painted)
                return false; // the pages asked for are painted; the rest are not read
            if (number > 0 && !printer->newPage())
                return false;
            page.items.append(footer(printer, ++number, count));
            items.paintPage(printer, page);
            return true;
        },
        nullptr, &lines);
    return painter.end() && (laidOut || painted < count) && number == painted;
}

bool SiteListReport::layOut(const QPaintDevice *device,
                            const std::function<bool(report::Page &&)> &pageDone,
                            std::vector<RowLines> *counted,
                            const std::vector<RowLines> *known) const
{
    const QRectF area = report::area(device);
    const qreal pad = report::mm(device, 1.2);

    const QFont titleFont = report::font(14, true);
    const QFont headingFont = report::font(9, true);
    const QFont cellFont = report::font(9);
    const QFont footerFont = report::font(8);
    const qreal titleHeight = report::lineHeight(titleFont, device);
    const qreal headingHeight = report::lineHeight(headingFont, device) + 2 * pad;
    const qreal cellHeight = report::lineHeight(cellFont, device);
    const qreal footerHeight = report::lineHeight(footerFont, device);
    const qreal bodyBottom = area.bottom() - footerHeight - 2 * pad;

    // Column edges from the right.
    std::array<qreal, 8> edges{};
    edges[0] = area.right();
    for (std::size_t c = 0; c < kShares.size(); ++c)
        edges[c + 1] = edges[c] - kShares[c] * area.width();
    edges.back() = area.left();
    const auto columnRect = [&](int c, qreal top, qreal height) {
        return QRectF(edges[c + 1], top, edges[c] - edges[c + 1], height);
    };

    Page page;
    bool going = true;
    qreal y = 0;
    qreal tableTop = 0;
    const auto closeTable = [&]() {
        for (const qreal x : edges)
            page.rules.append(QLineF(x, tableTop, x, y));
        going = pageDone(std::exchange(page, Page())) && going;
    };
    const auto newPage = [&](bool first) {
        if (!first)
            closeTable();
        y = area.top();
        page.items.append({Role::Title, QRectF(area.left(), y, area.width(), titleHeight), title(),
                           titleFont, QColor(20, 50, 100), Qt::RightToLeft, Qt::AlignHCenter});
        y += titleHeight + 2 * pad;
        tableTop = y;
        page.fills.append(QRectF(area.left(), y, area.width(), headingHeight));
        page.rules.append(QLineF(area.left(), y, area.right(), y));
        for (int c = 0; c < int(headings().size()); ++c)
            page.items.append({Role::Heading,
                               columnRect(c, y, headingHeight).adjusted(pad, 0, -pad, 0),
                               headings()[c], headingFont, QColor(20, 50, 100), Qt::RightToLeft,
                               Qt::AlignHCenter, -1, c});
        y += headingHeight;
        page.rules.append(QLineF(area.left(), y, area.right(), y));
    };
    newPage(true);

    // While counting, the lines of texts that come back (subjects, administrators) are
    // remembered per column, a bounded number of them.
    constexpr qsizetype kRemembered = 4096;
    std::array<QHash<QString, quint8>, 7> remembered;
    int r = 0;
    const auto read = m_source([&](const store::SiteListRow &row) {
        std::array<QVector<report::Line>, 7> cells;
        int lines = 1;
        const bool counts = known && std::size_t(r) < known->size();
        RowLines rowLines = 0;
        for (int c = 0; c < 7; ++c) {
            const QString &text = row.texts[c];
            const qreal width = columnRect(c, 0, 0).width() - 2 * pad;
            int cellLines = 0;
            if (counted) {
                // Only how many lines: no texts are placed on pages that are not painted.
                if (report::fitsUnshaped(text, cellFont, width, device)) {
                    cellLines = 1;
                } else if (const auto hit = remembered[c].constFind(text);
                           hit != remembered[c].cend()) {
                    cellLines = *hit;
                } else {
                    cellLines =
                        int(report::wrap(text, cellFont, width, device, kMaxCellLines).size());
                    if (remembered[c].size() >= kRemembered)
                        remembered[c].clear();
                    remembered[c].insert(text, quint8(cellLines));
                }
            } else {
                if (counts && ((*known)[std::size_t(r)] >> (2 * c) & 3) == 1 &&
                    report::singleParagraph(text))
                    cells[c] = {report::wholeLine(text)};
                else
                    cells[c] = report::wrap(text, cellFont, width, device, kMaxCellLines);
                cellLines = int(cells[c].size());
            }
            lines = qMax(lines, cellLines);
            rowLines |= RowLines(qMin(cellLines, 3) << (2 * c));
        }
        if (counted)
            counted->push_back(rowLines);
        const qreal height = lines * cellHeight + 2 * pad;
        if (y + height > bodyBottom && y > tableTop + headingHeight)
            newPage(false);
        for (int c = 0; c < 7; ++c) {
            const QRectF box = columnRect(c, y + pad, cellHeight).adjusted(pad, 0, -pad, 0);
            for (qsizetype k = 0; k < cells[c].size(); ++k)
                page.items.append({Role::Cell, box.translated(0, k * cellHeight), cells[c][k].text,
                                   cellFont, Qt::black, cells[c][k].direction, Qt::AlignRight,
                                   int(r), c});
        }
        y += height;
        page.rules.append(QLineF(area.left(), y, area.right(), y));
        ++r;
        return going;
    });
    closeTable();
    return read.has_value() && going;
}

int SiteListReport::records() const
{
    return m_records;
}

} // namespace zorbin::mainwin
