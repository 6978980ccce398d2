#include "contacts/contactlistreport.h"

#include "common/icons.h"
#include "contacts/contactlistmodel.h"

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

QVector<Page> ContactListReport::layout(const QPaintDevice *device) const
{
    const QRectF area = report::area(device);
    const qreal pad = report::mm(device, 1.2);
    const qreal scale = area.width() / kDesignWidth;
    const auto columnRect = [&](std::size_t c, qreal top, qreal height) {
        return QRectF(area.left() + kColumns[c].left * scale, top, kColumns[c].width * scale,
                      height);
    };

    const QFont titleFont = report::font(14, true);
    const QFont headingFont = report::font(9, true);
    const QFont cellFont = report::font(9);
    const QFont footerFont = report::font(8);
    const qreal bandHeight = report::lineHeight(titleFont, device) + 4 * pad;
    const qreal headingHeight = report::lineHeight(headingFont, device) + 2 * pad;
    const qreal cellHeight = report::lineHeight(cellFont, device) + 2 * pad;
    const qreal footerHeight = report::lineHeight(footerFont, device);
    const qreal bodyBottom = area.bottom() - footerHeight - 2 * pad;
    const QColor ink(20, 50, 100);

    QVector<Page> pages;
    qreal y = 0;
    const auto newPage = [&]() {
        pages.append(Page());
        Page &page = pages.back();
        y = area.top();
        if (pages.size() == 1) {
            // The title band heads the report, on its first page.
            const QRectF band(area.left(), y, area.width(), bandHeight);
            page.fills.append(band);
            // Two small pictures at the band's left end: the phone book and a call.
            const qreal side = bandHeight - 2 * pad;
            for (int i = 0; i < 2; ++i)
                page.pictures.append(
                    {QRectF(area.left() + 2 * pad + i * (side + 2 * pad), y + pad, side, side),
                     zorbin::common::iconPath(i == 0 ? u"journal-bookmark"
                                                     : u"telephone-outbound")});
            page.items.append({Role::Title, band.adjusted(4 * pad, 0, -4 * pad, 0), title(),
                               titleFont, ink, Qt::RightToLeft, Qt::AlignRight | Qt::AlignVCenter});
            y += bandHeight + 2 * pad;
        }
        for (std::size_t c = 0; c < kColumns.size(); ++c)
            page.items.append({Role::Heading,
                               columnRect(c, y, headingHeight).adjusted(pad, 0, -pad, 0),
                               headings()[qsizetype(c)], headingFont, ink, Qt::RightToLeft,
                               Qt::AlignRight | Qt::AlignVCenter, -1, int(c)});
        y += headingHeight;
        page.rules.append(QLineF(area.left(), y, area.right(), y));
    };
    newPage();

    for (qsizetype r = 0; r < m_rows.size(); ++r) {
        if (y + cellHeight > bodyBottom)
            newPage();
        Page &page = pages.back();
        for (std::size_t c = 0; c < kColumns.size(); ++c) {
            const QRectF box =
                columnRect(c, y + pad, cellHeight - 2 * pad).adjusted(pad, 0, -pad, 0);
            // One line per contact: a text too long for its column ends in an ellipsis.
            const auto lines = report::wrap(contactColumnText(m_rows[r], kColumns[c].gridColumn),
                                            cellFont, box.width(), device, 1);
            const report::Line line = lines.isEmpty() ? report::Line() : lines.first();
            page.items.append({Role::Cell, box, line.text, cellFont, Qt::black, line.direction,
                               Qt::AlignRight | Qt::AlignVCenter, int(r), int(c)});
        }
        y += cellHeight;
    }

    addPageFooters(pages, device);
    return pages;
}

int ContactListReport::records() const
{
    return int(m_rows.size());
}

} // namespace zorbin::contacts
