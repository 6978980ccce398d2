#include "common/reportpainter.h"

#include "common/appearance.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextLayout>

namespace zorbin::report {

namespace {

const QChar kEllipsis(0x2026);

QString withoutTrailingBlanks(QString text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

} // namespace

QFont font(int pointSize, bool bold)
{
    QFont f = ui::windowFont(pointSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QRectF area(const QPaintDevice *device)
{
    return QRectF(0, 0, device->width(), device->height());
}

qreal mm(const QPaintDevice *device, qreal millimetres)
{
    return millimetres * device->logicalDpiY() / 25.4;
}

Qt::LayoutDirection directionOf(const QString &text)
{
    for (const QChar c : text) {
        switch (c.direction()) {
        case QChar::DirL:
            return Qt::LeftToRight;
        case QChar::DirR:
        case QChar::DirAL:
            return Qt::RightToLeft;
        default:
            break;
        }
    }
    return Qt::RightToLeft;
}

qreal lineHeight(const QFont &font, const QPaintDevice *device)
{
    const QFontMetricsF metrics(font, device);
    return metrics.height();
}

QVector<Line> wrap(const QString &text, const QFont &font, qreal width, const QPaintDevice *device,
                   int maxLines)
{
    static const QRegularExpression lineEnds(QStringLiteral("\r\n|\r|\n|\u2028|\u2029"));
    QVector<Line> lines;
    const QStringList paragraphs = text.split(lineEnds);
    for (const QString &paragraph : paragraphs) {
        const Qt::LayoutDirection direction = directionOf(paragraph);
        if (paragraph.trimmed().isEmpty()) {
            lines.append({QString(), direction});
        } else {
            QTextLayout layout(paragraph, font, device);
            QTextOption option;
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            option.setTextDirection(direction);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(width);
                lines.append(
                    {withoutTrailingBlanks(paragraph.mid(line.textStart(), line.textLength())),
                     direction});
            }
            layout.endLayout();
        }
        if (maxLines > 0 && lines.size() > maxLines)
            break;
    }
    const bool cut = maxLines > 0 && lines.size() > maxLines;
    // Line ends after the last words add no empty lines.
    while (!cut && lines.size() > 1 && lines.back().text.isEmpty())
        lines.removeLast();
    if (cut) {
        lines.resize(maxLines);
        const QFontMetricsF metrics(font, device);
        QString last = lines.back().text;
        while (!last.isEmpty() && metrics.horizontalAdvance(last + kEllipsis) > width)
            last.chop(1);
        lines.back().text = withoutTrailingBlanks(last) + kEllipsis;
    }
    return lines;
}

void preparePrinter(QPrinter &printer, QPageLayout::Orientation orientation, const QString &title)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(orientation);
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    printer.setDocName(title);
    printer.setCreator(QStringLiteral("Zorbin v2.0"));
}

void paintItem(QPainter &painter, const Item &item)
{
    if (item.text.isEmpty())
        return;
    // The labels are held with their colon first, as they read in a left-to-right
    // box; written right to left the colon goes after the words.
    QString text = item.text;
    if (item.role == Role::Label && item.direction == Qt::RightToLeft &&
        text.startsWith(QLatin1Char(':')))
        text = text.mid(1) + QLatin1Char(':');
    QTextLayout layout(text, item.font, painter.device());
    QTextOption option(item.alignment | Qt::AlignAbsolute);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(item.direction);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(item.rect.width());
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    painter.setPen(item.color);
    const QPointF origin(item.rect.left(),
                         item.rect.top() + (item.rect.height() - line.height()) / 2);
    // A print preview records text runs as strings and sets them again on replay,
    // which shifts blanks at the edges of right-to-left runs; there the glyphs are
    // placed one by one instead.
    if (painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Picture) {
        for (const QGlyphRun &run : layout.glyphRuns())
            painter.drawGlyphRun(origin, run);
        return;
    }
    layout.draw(&painter, origin);
}

bool paint(QPrinter *printer, const QVector<Page> &pages)
{
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer->newPage())
            return false;
        paintPage(painter, printer, pages[i]);
    }
    return painter.end();
}

void paintPage(QPainter &painter, const QPrinter *printer, const Page &page)
{
    const QPen rulePen(QColor(140, 140, 140), mm(printer, 0.2));
    for (const QRectF &fill : page.fills)
        painter.fillRect(fill, QColor(232, 236, 242));
    painter.setPen(rulePen);
    for (const QLineF &rule : page.rules)
        painter.drawLine(rule);
    for (const Item &item : page.items)
        paintItem(painter, item);
}

bool savePdf(const QString &path, QPageLayout::Orientation orientation, const QString &title,
             const std::function<bool(QPrinter *)> &render)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    preparePrinter(printer, orientation, title);
    if (!render(&printer))
        return false;
    const QFileInfo file(path);
    return file.exists() && file.size() > 0;
}

QStringList pageTexts(const QVector<Page> &pages)
{
    QStringList texts;
    for (const Page &page : pages) {
        QStringList lines;
        for (const Item &item : page.items)
            lines.append(item.text);
        texts.append(lines.join(QLatin1Char('\n')));
    }
    return texts;
}

} // namespace zorbin::report
