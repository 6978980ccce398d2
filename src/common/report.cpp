#include "common/report.h"

#include "common/pagewriter.h"

#include "common/dialogs.h"
#include "common/reportpreviewwindow.h"

#include <QPainter>
#include <QPrinter>
#include <utility>

namespace zorbin::common::report {

Page Pages::page(int index)
{
    Page found;
    layOut(index, [&found](int, Page &&page) {
        found = std::move(page);
        return false;
    });
    return found;
}

bool HeldPages::count(std::chrono::milliseconds)
{
    if (!m_counted) {
        m_pages = m_layout();
        m_counted = true;
    }
    return true;
}

bool HeldPages::layOut(int first, const std::function<bool(int, Page &&)> &done)
{
    for (int p = qMax(0, first); p < int(m_pages.size()); ++p)
        if (!done(p, Page(m_pages[p])))
            break;
    return true;
}

Report::Report(QString name, QString title, QPageLayout::Orientation orientation)
    : m_name(std::move(name)), m_title(std::move(title)), m_orientation(orientation)
{
}

QString Report::pageFooter(int page, int pages)
{
    if (pages <= 0)
        return QStringLiteral("%1 %2").arg(QStringLiteral("صفحه"), QString::number(page));
    return QStringLiteral("%1 %2 %3 %4")
        .arg(QStringLiteral("صفحه"), QString::number(page), QStringLiteral("از"),
             QString::number(pages));
}

Item Report::footer(const QPaintDevice *device, int page, int pages)
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

void Report::addPageFooters(QVector<Page> &pages, const QPaintDevice *device)
{
    const int count = int(pages.size());
    for (int p = 0; p < count; ++p)
        pages[p].items.append(footer(device, p + 1, count));
}

std::unique_ptr<Pages> Report::pages() const
{
    return std::make_unique<HeldPages>([this]() { return layout(layoutDevice()); });
}

void Report::paintPage(QPainter &painter, const Page &page) const
{
    ItemPainter(painter, layoutDevice()).paintPage(page);
}

bool Report::render(QPrinter *printer) const
{
    const std::unique_ptr<Pages> all = pages();
    all->count(std::chrono::milliseconds(0));
    if (all->failed())
        return false;
    PageWriter writer(*printer, layoutDevice());
    const bool laidOut = all->layOut(0, [&](int, Page &&page) {
        writer.add(page);
        return !writer.refused();
    });
    return writer.finish() && laidOut;
}

bool Report::savePdf(const QString &path) const
{
    return report::savePdf(path, m_orientation, m_title,
                           [this](QPrinter *printer) { return render(printer); });
}

int Report::pageCount(QPrinter *printer) const
{
    return int(layout(printer).size());
}

QStringList Report::pageTexts(QPrinter *printer) const
{
    return report::pageTexts(layout(printer));
}

void Report::exec(QWidget *parent) const
{
    common::Dialogs::preview(*this, parent);
}

std::unique_ptr<ReportPreviewWindow> Report::makePreview(QWidget *parent) const
{
    return std::make_unique<ReportPreviewWindow>(*this, parent);
}

} // namespace zorbin::common::report
