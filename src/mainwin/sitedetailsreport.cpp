#include "mainwin/sitedetailsreport.h"

#include "common/maker.h"

#include <QFontMetricsF>

namespace zorbin::mainwin {

using namespace zorbin;
namespace report = zorbin::common::report;
using report::Item;
using report::Page;
using report::Role;

SiteDetailsReport::SiteDetailsReport(const store::SiteRecord &record)
    : Report(QStringLiteral("Print_Site"), title(), QPageLayout::Portrait), m_record(record)
{
}

QString SiteDetailsReport::title()
{
    return QStringLiteral("زوربين  -  مشخصات سايت");
}

QString SiteDetailsReport::footer()
{
    return QStringLiteral("» Zorbin v2.0") + zorbin::common::maker::notice();
}

const QStringList &SiteDetailsReport::labels()
{
    static const QStringList list{QStringLiteral(":عنوان سايت"),  QStringLiteral(":مدير سايت"),
                                  QStringLiteral(":تلفن تماس"),   QStringLiteral(":شناسه ياهو"),
                                  QStringLiteral(":فيسبوک"),      QStringLiteral(":نام کاربري شما"),
                                  QStringLiteral(":آدرس سايت"),   QStringLiteral(":ايميل سايت"),
                                  QStringLiteral(":موضوع سايت"),  QStringLiteral(":رمز عبور"),
                                  QStringLiteral(":توضيحات"),     QStringLiteral(":شناسه گوگل"),
                                  QStringLiteral(":توئيتر سايت"), QStringLiteral(":گوگل پلاس"),
                                  QStringLiteral(":سايت RSS")};
    return list;
}

const QVector<store::SiteField> &SiteDetailsReport::fields()
{
    static const QVector<store::SiteField> list{
        store::Onvan,   store::Modir,   store::Mobile,  store::Yahoo,  store::Facebook,
        store::User,    store::Address, store::Email,   store::Mozoo,  store::Pass,
        store::Tozihat, store::Gmail,   store::Twitter, store::Google, store::Rss};
    return list;
}

QVector<Page> SiteDetailsReport::layout(const QPaintDevice *device) const
{
    const QRectF area = report::area(device);
    const qreal pad = report::mm(device, 1.5);

    const QFont titleFont = report::font(16, true);
    const QFont labelFont = report::font(10, true);
    const QFont valueFont = report::font(10);
    const QFont footerFont = report::font(8);
    const qreal titleHeight = report::lineHeight(titleFont, device);
    const qreal labelHeight = report::lineHeight(labelFont, device);
    const qreal valueHeight = report::lineHeight(valueFont, device);
    const qreal footerHeight = report::lineHeight(footerFont, device);

    // The footer keeps the bottom of every page; the fields fill the rest.
    const qreal bodyBottom = area.bottom() - footerHeight - 2 * pad;

    // Labels on the right in a column as wide as the widest of them, values to their left.
    const QFontMetricsF labelMetrics(labelFont, device);
    qreal labelWidth = 0;
    for (const QString &label : labels())
        labelWidth = qMax(labelWidth, labelMetrics.horizontalAdvance(label));
    labelWidth += 2 * pad;
    const qreal labelLeft = area.right() - labelWidth;
    const qreal valueLeft = area.left();
    const qreal valueWidth = labelLeft - pad - valueLeft;

    QVector<Page> pages(1);
    qreal y = area.top();
    pages.back().items.append({Role::Title, QRectF(area.left(), y, area.width(), titleHeight),
                               title(), titleFont, QColor(20, 50, 100), Qt::RightToLeft,
                               Qt::AlignHCenter});
    y += titleHeight + pad;
    pages.back().rules.append(QLineF(area.left(), y, area.right(), y));
    y += 2 * pad;
    bool pageHasFields = false;

    const auto newPage = [&]() {
        pages.append(Page());
        y = area.top();
        pageHasFields = false;
    };

    for (qsizetype i = 0; i < labels().size(); ++i) {
        const int row = int(i);
        const QVector<report::Line> lines =
            report::wrap(m_record[fields()[i]], valueFont, valueWidth - 2 * pad, device);
        const qreal height = qMax(labelHeight, lines.size() * valueHeight) + 2 * pad;
        // A field that fits on a page of its own does not start at the foot of one.
        if (pageHasFields && y + height > bodyBottom && height <= bodyBottom - area.top())
            newPage();

        const auto addLabel = [&]() {
            pages.back().items.append(
                {Role::Label, QRectF(labelLeft, y + pad, labelWidth, labelHeight), labels()[i],
                 labelFont, QColor(20, 50, 100), Qt::RightToLeft, Qt::AlignRight, row, 0});
        };
        addLabel();
        qreal lineTop = y + pad;
        for (const report::Line &line : lines) {
            if (lineTop + valueHeight > bodyBottom) {
                newPage();
                lineTop = y + pad;
            }
            pages.back().items.append(
                {Role::Value, QRectF(valueLeft, lineTop, valueWidth, valueHeight), line.text,
                 valueFont, Qt::black, line.direction, Qt::AlignRight, row, 1});
            lineTop += valueHeight;
            pageHasFields = true;
        }
        y = qMax(lineTop, y + pad + labelHeight) + pad;
        pages.back().rules.append(QLineF(area.left(), y, area.right(), y));
        pageHasFields = true;
    }

    for (Page &page : pages) {
        const qreal top = area.bottom() - footerHeight - pad;
        page.rules.append(QLineF(area.left(), top, area.right(), top));
        page.items.append({Role::Footer, QRectF(area.left(), top + pad, area.width(), footerHeight),
                           footer(), footerFont, QColor(70, 70, 70), report::directionOf(footer()),
                           Qt::AlignHCenter});
    }
    return pages;
}

int SiteDetailsReport::records() const
{
    return 1;
}

} // namespace zorbin::mainwin
