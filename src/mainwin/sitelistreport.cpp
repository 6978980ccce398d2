#include "mainwin/sitelistreport.h"

#include <QHash>
#include <QPainter>
#include <QPrinter>

#include <array>
#include <chrono>
#include <climits>
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
// Lines of each cell of a row, two bits a cell, from the rightmost column.
using RowLines = quint16;

// Where everything goes on a page of the device.
struct Geometry
{
    explicit Geometry(const QPaintDevice *on);

    const QPaintDevice *device;
    QRectF area;
    qreal pad;
    QFont titleFont = report::font(14, true);
    QFont headingFont = report::font(9, true);
    QFont cellFont = report::font(9);
    QFont footerFont = report::font(8);
    qreal titleHeight;
    qreal headingHeight;
    qreal cellHeight;
    qreal footerHeight;
    qreal bodyBottom;
    qreal tableTop;               // the heading row's top
    qreal bodyTop;                // the first row's top
    std::array<qreal, 8> edges{}; // column edges from the right

    QRectF columnRect(int c, qreal top, qreal height) const
    {
        return QRectF(edges[c + 1], top, edges[c] - edges[c + 1], height);
    }
    qreal cellWidth(int c) const { return edges[c] - edges[c + 1] - 2 * pad; }
    qreal rowHeight(int lines) const { return lines * cellHeight + 2 * pad; }
    // A page with its title and heading row.
    Page newPage() const;
    // Its column lines down to `bottom` and its footer.
    void closePage(Page &page, qreal bottom, int number, int pages) const;
};

Geometry::Geometry(const QPaintDevice *on)
    : device(on), area(report::area(on)), pad(report::mm(on, 1.2)),
      titleHeight(report::lineHeight(titleFont, on)),
      headingHeight(report::lineHeight(headingFont, on) + 2 * pad),
      cellHeight(report::lineHeight(cellFont, on)),
      footerHeight(report::lineHeight(footerFont, on)),
      bodyBottom(area.bottom() - footerHeight - 2 * pad),
      tableTop(area.top() + titleHeight + 2 * pad), bodyTop(tableTop + headingHeight)
{
    edges[0] = area.right();
    for (std::size_t c = 0; c < kShares.size(); ++c)
        edges[c + 1] = edges[c] - kShares[c] * area.width();
    edges.back() = area.left();
}

Page Geometry::newPage() const
{
    Page page;
    page.items.append({Role::Title, QRectF(area.left(), area.top(), area.width(), titleHeight),
                       SiteListReport::title(), titleFont, QColor(20, 50, 100), Qt::RightToLeft,
                       Qt::AlignHCenter});
    page.fills.append(QRectF(area.left(), tableTop, area.width(), headingHeight));
    page.rules.append(QLineF(area.left(), tableTop, area.right(), tableTop));
    const QStringList &headings = SiteListReport::headings();
    for (int c = 0; c < int(headings.size()); ++c)
        page.items.append({Role::Heading,
                           columnRect(c, tableTop, headingHeight).adjusted(pad, 0, -pad, 0),
                           headings[c], headingFont, QColor(20, 50, 100), Qt::RightToLeft,
                           Qt::AlignHCenter, -1, c});
    page.rules.append(QLineF(area.left(), bodyTop, area.right(), bodyTop));
    return page;
}

void Geometry::closePage(Page &page, qreal bottom, int number, int pages) const
{
    for (const qreal x : edges)
        page.rules.append(QLineF(x, tableTop, x, bottom));
    page.items.append(
        {Role::Footer,
         QRectF(area.left(), area.bottom() - footerHeight, area.width(), footerHeight),
         report::Report::pageFooter(number, pages), footerFont, QColor(70, 70, 70), Qt::RightToLeft,
         Qt::AlignHCenter});
}

} // namespace

SiteListReport::SiteListReport(QVector<store::SiteListRow> rows)
    : SiteListReport(
          [rows = std::move(rows)](int first, const RowSink &sink) -> store::Result<void> {
              for (qsizetype r = qMax(0, first); r < rows.size(); ++r)
                  if (!sink(rows[r]))
                      break;
              return {};
          },
          0)
{
    m_source(0, [this](const store::SiteListRow &) {
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

class SiteListReport::Paged : public report::Pages
{
public:
    Paged(const SiteListReport &report, const QPaintDevice *device)
        : m_report(report), m_geometry(device), m_y(m_geometry.bodyTop)
    {
        m_lines.reserve(std::size_t(qMax(0, report.m_records)));
    }

    bool count(std::chrono::milliseconds budget) override;
    bool counted() const override { return m_done; }
    // Only pages whose last row is known count until the end is reached.
    int pageCount() const override { return int(m_starts.size()) - (m_done ? 0 : 1); }
    bool failed() const override { return m_failed; }
    bool layOut(int first, const std::function<bool(int, Page &&)> &done) override;

private:
    const SiteListReport &m_report;
    const Geometry m_geometry;
    std::vector<int> m_starts{0}; // each page's first row
    std::vector<RowLines> m_lines;
    qreal m_y; // where the next counted row goes on its page
    bool m_done = false;
    bool m_failed = false;
    // The lines of texts that come back (subjects, administrators), per column, a
    // bounded number of them.
    std::array<QHash<QString, quint8>, 7> m_remembered;
};

bool SiteListReport::Paged::count(std::chrono::milliseconds budget)
{
    if (m_done)
        return true;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + budget;
    const Geometry &g = m_geometry;
    constexpr qsizetype kRemembered = 4096;
    int r = int(m_lines.size());
    bool stopped = false;
    const auto read = m_report.m_source(r, [&](const store::SiteListRow &row) {
        int lines = 1;
        RowLines rowLines = 0;
        for (int c = 0; c < 7; ++c) {
            // Only how many lines: no texts are placed while counting.
            const QString &text = row.texts[c];
            const qreal width = g.cellWidth(c);
            int cellLines = 1;
            if (report::fitsUnshaped(text, g.cellFont, width, g.device)) {
                cellLines = 1;
            } else if (const auto hit = m_remembered[c].constFind(text);
                       hit != m_remembered[c].cend()) {
                cellLines = *hit;
            } else {
                cellLines =
                    int(report::wrap(text, g.cellFont, width, g.device, kMaxCellLines).size());
                if (m_remembered[c].size() >= kRemembered)
                    m_remembered[c].clear();
                m_remembered[c].insert(text, quint8(cellLines));
            }
            lines = qMax(lines, cellLines);
            rowLines |= RowLines(qMin(cellLines, 3) << (2 * c));
        }
        m_lines.push_back(rowLines);
        const qreal height = g.rowHeight(lines);
        if (m_y + height > g.bodyBottom && m_y > g.bodyTop) {
            m_starts.push_back(r);
            m_y = g.bodyTop;
        }
        m_y += height;
        ++r;
        if (budget.count() > 0 && Clock::now() >= deadline) {
            stopped = true;
            return false;
        }
        return true;
    });
    if (!read.has_value())
        m_failed = true;
    m_done = m_failed || !stopped;
    return m_done;
}

bool SiteListReport::Paged::layOut(int first, const std::function<bool(int, Page &&)> &done)
{
    const int pages = pageCount();
    if (first < 0 || first >= pages)
        return true;
    const Geometry &g = m_geometry;
    const int total = m_done ? pages : 0;
    const int limit = m_done ? INT_MAX : m_starts.back(); // rows of counted pages
    const auto endOf = [&](int p) {
        return std::size_t(p + 1) < m_starts.size() ? m_starts[std::size_t(p + 1)] : INT_MAX;
    };
    int p = first;
    int r = m_starts[std::size_t(p)];
    int end = endOf(p);
    Page page = g.newPage();
    qreal y = g.bodyTop;
    bool open = true;
    bool going = true;
    const auto read = m_report.m_source(r, [&](const store::SiteListRow &row) {
        if (r >= limit || std::size_t(r) >= m_lines.size())
            return false;
        if (r == end) {
            g.closePage(page, y, p + 1, total);
            open = false;
            going = done(p, std::exchange(page, Page()));
            if (!going || p + 1 >= pages)
                return false;
            end = endOf(++p);
            page = g.newPage();
            y = g.bodyTop;
            open = true;
        }
        const RowLines known = m_lines[std::size_t(r)];
        int lines = 1;
        for (int c = 0; c < 7; ++c) {
            const QString &text = row.texts[c];
            const int counted = known >> (2 * c) & 3;
            lines = qMax(lines, counted);
            const QVector<report::Line> cell =
                counted == 1 && report::singleParagraph(text)
                    ? QVector<report::Line>{report::wholeLine(text)}
                    : report::wrap(text, g.cellFont, g.cellWidth(c), g.device, kMaxCellLines);
            const QRectF box =
                g.columnRect(c, y + g.pad, g.cellHeight).adjusted(g.pad, 0, -g.pad, 0);
            for (qsizetype k = 0; k < cell.size() && k < counted; ++k)
                page.items.append({Role::Cell, box.translated(0, k * g.cellHeight), cell[k].text,
                                   g.cellFont, Qt::black, cell[k].direction, Qt::AlignRight, r, c});
        }
        y += g.rowHeight(lines);
        page.rules.append(QLineF(g.area.left(), y, g.area.right(), y));
        ++r;
        return true;
    });
    if (open && going && read.has_value()) {
        g.closePage(page, y, p + 1, total);
        done(p, std::move(page));
    }
    return read.has_value();
}

std::unique_ptr<SiteListReport::Paged> SiteListReport::paged(const QPaintDevice *device) const
{
    return std::make_unique<Paged>(*this, device);
}

std::unique_ptr<report::Pages> SiteListReport::pages() const
{
    return paged(layoutDevice());
}

QVector<Page> SiteListReport::layout(const QPaintDevice *device) const
{
    const auto all = paged(device);
    all->count(std::chrono::milliseconds(0));
    QVector<Page> pages;
    all->layOut(0, [&pages](int, Page &&page) {
        pages.append(std::move(page));
        return true;
    });
    return pages;
}

int SiteListReport::records() const
{
    return m_records;
}

} // namespace zorbin::mainwin
