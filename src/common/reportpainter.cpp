#include "common/reportpainter.h"

#include "common/appearance.h"
#include "store/filemodes.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QSvgRenderer>
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
    std::array<qreal, 0x7F> ascii{};   // each printable ASCII character's own advance; 0 unknown
    std::array<qreal, 0x100> arabic{}; // each Arabic-script letter's widest form; 0 unknown

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
        const qreal advance = measure.metrics->horizontalAdvance(text);
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

// The labels are held with their colon first, as they read in a left-to-right box;
// written right to left the colon goes after the words.
QString paintedText(const Item &item)
{
    if (item.role == Role::Label && item.direction == Qt::RightToLeft &&
        item.text.startsWith(QLatin1Char(':')))
        return item.text.mid(1) + QLatin1Char(':');
    return item.text;
}

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

QPointF originOf(const Item &item, qreal lineHeight)
{
    return {item.rect.left(), item.rect.top() + (item.rect.height() - lineHeight) / 2};
}

// A print preview records text runs as strings and sets them again on replay, which
// shifts blanks at the edges of right-to-left runs; there the glyphs are placed one by
// one instead.
bool recordsRuns(QPainter &painter)
{
    return painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Picture;
}

constexpr qsizetype kKeptTexts = 4096;
constexpr qsizetype kSeenTexts = 1 << 16;

} // namespace

void paintItem(QPainter &painter, const Item &item)
{
    if (item.text.isEmpty())
        return;
    QTextLayout layout(paintedText(item), item.font, painter.device());
    const QTextLine line = layOutLine(layout, item);
    painter.setPen(item.color);
    const QPointF origin = originOf(item, line.height());
    if (recordsRuns(painter)) {
        for (const QGlyphRun &run : layout.glyphRuns())
            painter.drawGlyphRun(origin, run);
        return;
    }
    layout.draw(&painter, origin);
}

ItemPainter::ItemPainter(QPainter &painter, const QPaintDevice *layoutDevice)
    : m_painter(painter), m_shapeOn(layoutDevice ? layoutDevice : painter.device())
{
}

void ItemPainter::paint(const Item &item)
{
    if (item.text.isEmpty())
        return;
    Key key{paintedText(item), item.font, item.direction, item.alignment, item.rect.width()};
    auto kept = m_kept.constFind(key);
    if (kept == m_kept.cend()) {
        // Shaped and kept the second time a text comes; the first time painted as it is.
        if (!(item.font == m_font)) {
            m_font = item.font;
            m_deviceFont = QFont(item.font, m_shapeOn);
        }
        // The device's font made once, not for every text, and the shaped glyphs kept
        // from laying the line out to drawing it.
        QTextLayout layout(key.text, m_deviceFont);
        layout.setCacheEnabled(true);
        const QTextLine line = layOutLine(layout, item);
        m_painter.setPen(item.color);
        const QPointF origin = originOf(item, line.height());
        if (m_seen.size() >= kSeenTexts)
            m_seen.clear();
        const size_t hash = qHash(key);
        const bool again = m_seen.contains(hash);
        if (!again)
            m_seen.insert(hash);
        if (!again && !recordsRuns(m_painter) && m_shapeOn == m_painter.device()) {
            layout.draw(&m_painter, origin);
            return;
        }
        Shaped shaped{layout.glyphRuns(), line.height()};
        for (const QGlyphRun &run : shaped.runs)
            m_painter.drawGlyphRun(origin, run);
        if (again) {
            if (m_kept.size() >= kKeptTexts)
                m_kept.clear();
            m_kept.insert(std::move(key), std::move(shaped));
        }
        return;
    }
    ++m_reused;
    m_painter.setPen(item.color);
    const QPointF origin = originOf(item, kept->height);
    for (const QGlyphRun &run : kept->runs)
        m_painter.drawGlyphRun(origin, run);
}

void ItemPainter::paintPage(const QPaintDevice *layoutDevice, const Page &page)
{
    const QPen rulePen(QColor(140, 140, 140), mm(layoutDevice, 0.2));
    for (const QRectF &fill : page.fills)
        m_painter.fillRect(fill, QColor(232, 236, 242));
    for (const Picture &picture : page.pictures)
        QSvgRenderer(picture.resource).render(&m_painter, picture.rect);
    m_painter.setPen(rulePen);
    for (const QLineF &rule : page.rules)
        m_painter.drawLine(rule);
    for (const Item &item : page.items)
        paint(item);
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
        items.paintPage(printer, pages[i]);
    }
    return painter.end();
}

void paintPage(QPainter &painter, const QPrinter *printer, const Page &page)
{
    ItemPainter(painter).paintPage(printer, page);
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
    const QRectF laidOut = area(layoutDevice(orientation));
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
