#include "common/reportpainter.h"

#include "common/appearance.h"
#include "common/lineshaper.h"
#include "common/pagepainter.h"
#include "common/pageshaper.h"
#include "store/filemodes.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextLayout>

#include <array>
#include <optional>

namespace zorbin::common::report {

namespace {

const QChar kEllipsis(0x2026);

QString withoutTrailingBlanks(QString text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

// The metrics of a font on a device, kept for the next call with the same ones: a list
// measures thousands of cells in one font, and the font found for the device once serves
// them all.
struct Measure
{
    QFont font;
    int dpiX = 0;
    int dpiY = 0;
    std::optional<QFontMetricsF> metrics;
    std::unique_ptr<LineShaper> shaper; // made when first needed
    std::array<qreal, 0x7F> ascii{};    // each printable ASCII character's own advance; 0 unknown
    std::array<qreal, 0x100> arabic{};  // each Arabic-script letter's widest form; 0 unknown

    // More than the width `text` takes when it is all printable ASCII and Arabic-script
    // letters (Persian ones among them), or -1. Each letter counts with the widest of its
    // joining forms; shaping moves letters by their kerning and joins some into ligatures
    // by far less than the slack allowed here.
    qreal unshapedBound(const QString &text)
    {
        qreal sum = 0;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            qreal *advance = nullptr;
            if (u >= 0x20 && u < 0x7F)
                advance = &ascii[u];
            else if (u >= 0x600 && u < 0x700)
                advance = &arabic[u - 0x600];
            else
                return -1;
            if (*advance <= 0)
                *advance = qMax<qreal>(widest(c), 1e-6);
            sum += *advance;
        }
        return sum + sum / 8 + metrics->height();
    }

    // The width of a single paragraph, shaped as the layout shapes it.
    qreal advance(const QString &text, const QPaintDevice *device)
    {
        if (!shaper)
            shaper = std::make_unique<LineShaper>(device ? QFont(font, device) : font);
        if (const auto line = shaper->shape(text, directionOf(text)))
            return line->width;
        return metrics->horizontalAdvance(text);
    }

    qreal widest(QChar c) const
    {
        if (c.unicode() < 0x600)
            return metrics->horizontalAdvance(c);
        // Alone, first, in the middle and last in a word, the joiners counted too.
        const QChar joiner(0x200D);
        qreal most = 0;
        for (const QString &form :
             {QString(c), QString(c) + joiner, joiner + QString(c), joiner + QString(c) + joiner})
            most = qMax(most, metrics->horizontalAdvance(form));
        return most;
    }
};

Measure &measureOf(const QFont &font, const QPaintDevice *device)
{
    thread_local Measure kept;
    const int dpiX = device ? device->logicalDpiX() : 0;
    const int dpiY = device ? device->logicalDpiY() : 0;
    if (!kept.metrics || dpiX != kept.dpiX || dpiY != kept.dpiY || !(font == kept.font)) {
        kept.font = font;
        kept.dpiX = dpiX;
        kept.dpiY = dpiY;
        kept.metrics.emplace(font, device);
        kept.shaper.reset();
        kept.ascii.fill(0);
        kept.arabic.fill(0);
    }
    return kept;
}

} // namespace

QFont font(int pointSize, bool bold)
{
    QFont f = common::windowFont(pointSize);
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

bool singleParagraph(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029)
            return false;
    }
    return true;
}

Line wholeLine(const QString &text)
{
    const Qt::LayoutDirection direction = directionOf(text);
    if (text.trimmed().isEmpty())
        return {QString(), direction};
    return {withoutTrailingBlanks(text), direction};
}

bool fitsUnshaped(const QString &text, const QFont &font, qreal width, const QPaintDevice *device)
{
    if (!singleParagraph(text))
        return false;
    const qreal bound = measureOf(font, device).unshapedBound(text);
    return bound >= 0 && bound < width;
}

QVector<Line> wrap(const QString &text, const QFont &font, qreal width, const QPaintDevice *device,
                   int maxLines)
{
    if (singleParagraph(text)) {
        if (text.trimmed().isEmpty())
            return {wholeLine(text)};
        // The layout breaks a line only where its text is wider than the line; a text
        // clearly narrower is one line as it stands. Near the edge the layout decides.
        Measure &measure = measureOf(font, device);
        const qreal bound = measure.unshapedBound(text);
        if (bound >= 0 && bound < width)
            return {wholeLine(text)};
        const qreal advance = measure.advance(text, device);
        if (advance < width - qMax<qreal>(1, width / 100))
            return {wholeLine(text)};
    }
    return wrapByLayout(text, font, width, device, maxLines);
}

QVector<Line> wrapByLayout(const QString &text, const QFont &font, qreal width,
                           const QPaintDevice *device, int maxLines)
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

namespace {

// One unwrapped line of the item's width, aligned in it, placed at (0, 0).
QTextLine layOutLine(QTextLayout &layout, const Item &item)
{
    QTextOption option(item.alignment | Qt::AlignAbsolute);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(item.direction);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(item.rect.width());
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    return line;
}

} // namespace

void paintByLayout(QPainter &painter, const Item &item, const QFont &deviceFont)
{
    QTextLayout layout(paintedText(item), deviceFont);
    const QTextLine line = layOutLine(layout, item);
    const QPointF origin(item.rect.left(),
                         item.rect.top() + (item.rect.height() - line.height()) / 2);
    painter.setPen(item.color);
    for (const QGlyphRun &run : layout.glyphRuns())
        painter.drawGlyphRun(origin, run);
}

void paintItem(QPainter &painter, const Item &item)
{
    if (!item.text.isEmpty())
        paintByLayout(painter, item, QFont(item.font, painter.device()));
}

ItemPainter::ItemPainter(QPainter &painter, const QPaintDevice *layoutDevice)
    : m_shaper(std::make_unique<PageShaper>(layoutDevice ? layoutDevice : painter.device())),
      m_painter(
          std::make_unique<PagePainter>(painter, layoutDevice ? layoutDevice : painter.device()))
{
}

ItemPainter::~ItemPainter() = default;

void ItemPainter::paint(const Item &item)
{
    Page page;
    page.items.append(item);
    paintPage(page);
}

void ItemPainter::paintPage(const Page &page)
{
    m_painter->paint(m_shaper->shape(page));
}

qsizetype ItemPainter::reused() const
{
    return m_shaper->reused();
}

bool paint(QPrinter *printer, const QVector<Page> &pages)
{
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    ItemPainter items(painter);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer->newPage())
            return false;
        items.paintPage(pages[i]);
    }
    return painter.end();
}

void paintPage(QPainter &painter, const QPrinter *, const Page &page)
{
    ItemPainter(painter).paintPage(page);
}

QPrinter *layoutDevice(QPageLayout::Orientation orientation)
{
    // Made once for the program's life, after the application: printers need it.
    static std::array<QPrinter *, 2> devices{};
    QPrinter *&device = devices[orientation == QPageLayout::Landscape ? 1 : 0];
    if (!device) {
        device = new QPrinter(QPrinter::HighResolution);
        device->setOutputFormat(QPrinter::PdfFormat);
        preparePrinter(*device, orientation, QString());
    }
    return device;
}

QRectF paperRect(QPageLayout::Orientation orientation)
{
    const QPrinter *device = layoutDevice(orientation);
    return device->pageLayout().fullRectPixels(device->resolution());
}

QRectF printableRect(QPageLayout::Orientation orientation)
{
    const QPrinter *device = layoutDevice(orientation);
    return device->pageLayout().paintRectPixels(device->resolution());
}

void fitPage(QPainter &painter, QPageLayout::Orientation orientation, const QRectF &target)
{
    fitArea(painter, area(layoutDevice(orientation)), target);
}

void fitArea(QPainter &painter, const QRectF &laidOut, const QRectF &target)
{
    const qreal scale = qMin(target.width() / laidOut.width(), target.height() / laidOut.height());
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
}

bool savePdf(const QString &path, QPageLayout::Orientation orientation, const QString &title,
             const std::function<bool(QPrinter *)> &render)
{
    // Written under a private temporary name beside `path` and renamed into place whole.
    const auto temp = store::createPrivateTemp(path);
    if (!temp)
        return false;
    bool rendered = false;
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(*temp);
        preparePrinter(printer, orientation, title);
        rendered = render(&printer);
    }
    if (!rendered || QFileInfo(*temp).size() == 0 || !store::renameOver(*temp, path)) {
        QFile::remove(*temp);
        return false;
    }
    return true;
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

} // namespace zorbin::common::report
