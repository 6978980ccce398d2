#include "contacts/contactlistreport.h"

#include "common/icons.h"
#include "contacts/contactlistmodel.h"

#include <QPrinter>

#include <array>
#include <utility>

namespace zorbin::contacts {

using namespace zorbin;
namespace report = zorbin::common::report;
using report::Item;
using report::Page;
using report::Role;

namespace {

// The designed page is 12705 twips wide; each column's left edge and width on it, rightmost
// column first, with the grid column whose text it prints.
constexpr qreal kDesignWidth = 12705;
struct ColumnPlace
{
    qreal left;
    qreal width;
    int gridColumn;
};
constexpr std::array<ColumnPlace, 6> kColumns{{
    {10035, 2670, 1}, // name
    {8355, 1680, 2},  // group
    {6495, 1860, 3},  // mobile
    {4770, 1725, 4},  // home
    {2730, 2040, 5},  // job
    {0, 2730, 6},     // e-mail
}};

} // namespace

ContactListReport::ContactListReport(QVector<store::ContactListRow> rows)
    : Report(QStringLiteral("Print_Conts"), title(), QPageLayout::Landscape),
      m_rows(std::move(rows))
{
}

QString ContactListReport::title()
{
    return QStringLiteral("زوربين  -  ليست مخاطبين");
}

const QStringList &ContactListReport::headings()
{
    static const QStringList list{QStringLiteral("نام و نام خانوادگي"), QStringLiteral("گروه"),
                                  QStringLiteral("تلفن همراه"),         QStringLiteral("تلفن منزل"),
                                  QStringLiteral("شغل يا تخصص"),        QStringLiteral("ايميل")};
    return list;
}

namespace {

// Where everything goes on a page of `device`.
struct Geometry
{
    explicit Geometry(const QPaintDevice *device)
        : area(report::area(device)), pad(report::mm(device, 1.2)),
          scale(area.width() / kDesignWidth), titleFont(report::font(14, true)),
          headingFont(report::font(9, true)), cellFont(report::font(9)),
          bandHeight(report::lineHeight(titleFont, device) + 4 * pad),
          headingHeight(report::lineHeight(headingFont, device) + 2 * pad),
          cellHeight(report::lineHeight(cellFont, device) + 2 * pad),
          bodyBottom(area.bottom() - report::lineHeight(report::font(8), device) - 2 * pad)
    {
        firstRows = rowsFrom(area.top() + bandHeight + 2 * pad + headingHeight);
        otherRows = rowsFrom(area.top() + headingHeight);
    }
    QRectF columnRect(std::size_t c, qreal top, qreal height) const
    {
        return QRectF(area.left() + kColumns[c].left * scale, top, kColumns[c].width * scale,
                      height);
    }
    // How many one-line rows fit below `top`, counted line by line as they are placed.
    int rowsFrom(qreal top) const
    {
        int rows = 0;
        for (qreal y = top; y + cellHeight <= bodyBottom; y += cellHeight)
            ++rows;
        return qMax(1, rows);
    }
    int pageCount(int records) const
    {
        const int rest = qMax(0, records - firstRows);
        return 1 + (rest + otherRows - 1) / otherRows;
    }
    int firstRowOf(int page) const { return page == 0 ? 0 : firstRows + (page - 1) * otherRows; }

    QRectF area;
    qreal pad;
    qreal scale;
    QFont titleFont;
    QFont headingFont;
    QFont cellFont;
    qreal bandHeight;
    qreal headingHeight;
    qreal cellHeight;
    qreal bodyBottom;
    int firstRows = 1;
    int otherRows = 1;
};

// The pages of a contact list: one line per contact, so where each page starts follows from
// how many lines a page holds, and any page is laid out alone.
class ContactPages : public report::Pages
{
public:
    explicit ContactPages(const ContactListReport &report)
        : m_report(report), m_geometry(report.layoutDevice())
    {
    }
    bool count(std::chrono::milliseconds) override { return true; }
    bool counted() const override { return true; }
    int pageCount() const override { return m_geometry.pageCount(m_report.records()); }
    bool layOut(int first, const std::function<bool(int, Page &&)> &done) override
    {
        const int pages = pageCount();
        for (int p = qMax(0, first); p < pages; ++p)
            if (!done(p, m_report.layOutPage(m_report.layoutDevice(), p, pages)))
                break;
        return true;
    }

private:
    const ContactListReport &m_report;
    Geometry m_geometry;
};

} // namespace

QVector<Page> ContactListReport::layout(const QPaintDevice *device) const
{
    const int count = Geometry(device).pageCount(records());
    QVector<Page> pages;
    for (int p = 0; p < count; ++p)
        pages.append(layOutPage(device, p, count));
    return pages;
}

std::unique_ptr<report::Pages> ContactListReport::pages() const
{
    return std::make_unique<ContactPages>(*this);
}

Page ContactListReport::layOutPage(const QPaintDevice *device, int index, int pages) const
{
    const Geometry g(device);
    const qreal pad = g.pad;
    const QColor ink(20, 50, 100);
    Page page;
    qreal y = g.area.top();
    if (index == 0) {
        // The title band heads the report, on its first page.
        const QRectF band(g.area.left(), y, g.area.width(), g.bandHeight);
        page.fills.append(band);
        // Two small pictures at the band's left end: the phone book and a call.
        const qreal side = g.bandHeight - 2 * pad;
        for (int i = 0; i < 2; ++i)
            page.pictures.append(
                {QRectF(g.area.left() + 2 * pad + i * (side + 2 * pad), y + pad, side, side),
                 zorbin::common::iconPath(i == 0 ? u"journal-bookmark" : u"telephone-outbound")});
        page.items.append({Role::Title, band.adjusted(4 * pad, 0, -4 * pad, 0), title(),
                           g.titleFont, ink, Qt::RightToLeft, Qt::AlignRight | Qt::AlignVCenter});
        y += g.bandHeight + 2 * pad;
    }
    for (std::size_t c = 0; c < kColumns.size(); ++c)
        page.items.append({Role::Heading,
                           g.columnRect(c, y, g.headingHeight).adjusted(pad, 0, -pad, 0),
                           headings()[qsizetype(c)], g.headingFont, ink, Qt::RightToLeft,
                           Qt::AlignRight | Qt::AlignVCenter, -1, int(c)});
    y += g.headingHeight;
    page.rules.append(QLineF(g.area.left(), y, g.area.right(), y));

    const int first = g.firstRowOf(index);
    const int end = qMin(int(m_rows.size()), first + (index == 0 ? g.firstRows : g.otherRows));
    for (int r = first; r < end; ++r) {
        for (std::size_t c = 0; c < kColumns.size(); ++c) {
            const QRectF box =
                g.columnRect(c, y + pad, g.cellHeight - 2 * pad).adjusted(pad, 0, -pad, 0);
            // One line per contact: a text too long for its column ends in an ellipsis.
            const auto lines = report::wrap(contactColumnText(m_rows[r], kColumns[c].gridColumn),
                                            g.cellFont, box.width(), device, 1);
            const report::Line line = lines.isEmpty() ? report::Line() : lines.first();
            page.items.append({Role::Cell, box, line.text, g.cellFont, Qt::black, line.direction,
                               Qt::AlignRight | Qt::AlignVCenter, r, int(c)});
        }
        y += g.cellHeight;
    }
    page.items.append(footer(device, index + 1, pages));
    return page;
}

int ContactListReport::records() const
{
    return int(m_rows.size());
}

} // namespace zorbin::contacts
