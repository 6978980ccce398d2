#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QSet>

#include <functional>
#include <memory>

class QPaintDevice;
class QPainter;
class QPrinter;

// The printed reports are laid out first into pages of positioned text pieces, then
// painted. Keeping the two steps apart lets a caller count pages and look at what lands
// on each page without painting.
namespace zorbin::common::report {

class PagePainter;
class PageShaper;

enum class Role { Title, Label, Value, Heading, Cell, Footer };

// One line of text inside its box, in the device's own pixels.
struct Item
{
    Role role = Role::Value;
    QRectF rect;
    QString text;
    QFont font;
    QColor color = Qt::black;
    Qt::LayoutDirection direction = Qt::RightToLeft;
    Qt::Alignment alignment = Qt::AlignRight;
    int row = -1;    // record (list) or field pair (one site); -1 for the page's own texts
    int column = -1; // column of the list, or 0 label / 1 value for one site
};

// A picture from the program's resources (an SVG icon), drawn to fill its box.
struct Picture
{
    QRectF rect;
    QString resource;
};

struct Page
{
    QVector<Item> items;
    QVector<QRectF> fills;     // shaded backgrounds, painted first
    QVector<QLineF> rules;     // thin lines
    QVector<Picture> pictures; // decoration, painted over the backgrounds
};

// The window font at this size, unhinted so that the preview's glyphs keep the
// printer's spacing.
QFont font(int pointSize, bool bold = false);

// The printable area of the device, with its top left corner at (0, 0).
QRectF area(const QPaintDevice *device);
// Millimetres in the device's pixels.
qreal mm(const QPaintDevice *device, qreal millimetres);
// Right to left when the first letter with a direction is written right to left.
Qt::LayoutDirection directionOf(const QString &text);
qreal lineHeight(const QFont &font, const QPaintDevice *device);

// A wrapped line of a longer text and the direction of the paragraph it belongs to.
struct Line
{
    QString text;
    Qt::LayoutDirection direction = Qt::RightToLeft;
};
// Breaks `text` at its line ends and where it does not fit in `width`; an empty text
// gives one empty line. With `maxLines` above 0 the last line kept ends in an ellipsis
// when the text goes on. A text of one line that plainly fits is measured, not laid out.
QVector<Line> wrap(const QString &text, const QFont &font, qreal width, const QPaintDevice *device,
                   int maxLines = 0);
// True when `text` is one paragraph of printable ASCII and Arabic-script letters so much
// narrower than `width` that it is one line without shaping it: what `wrap` gives it is
// its wholeLine.
bool fitsUnshaped(const QString &text, const QFont &font, qreal width, const QPaintDevice *device);
// The same, always through the line-breaking layout.
QVector<Line> wrapByLayout(const QString &text, const QFont &font, qreal width,
                           const QPaintDevice *device, int maxLines = 0);
// True when `text` is one paragraph with nothing in it that breaks or moves a line
// (line ends, tabs, other control characters).
bool singleParagraph(const QString &text);
// The one line `wrap` gives for a single paragraph that fits its width.
Line wholeLine(const QString &text);

// A4 with the reports' margins, in the given orientation.
void preparePrinter(QPrinter &printer, QPageLayout::Orientation orientation, const QString &title);
// Paints the pages, one printer page each; false when the printer cannot be opened.
bool paint(QPrinter *printer, const QVector<Page> &pages);
void paintItem(QPainter &painter, const Item &item);
// Paints `item` through the text layout in `deviceFont`, its font on the painter's device.
void paintByLayout(QPainter &painter, const Item &item, const QFont &deviceFont);
// Paints one page on the printer's current page: fills, then rules, then texts.
void paintPage(QPainter &painter, const QPrinter *printer, const Page &page);

// Shapes and paints pages on one thread: what the preview does with each page it shows.
class ItemPainter
{
public:
    // With `layoutDevice`, texts are shaped for that device, the one the pages were laid
    // out on, and drawn through the painter's transform: a page scaled onto any device
    // keeps the places and line breaks it was laid out with.
    explicit ItemPainter(QPainter &painter, const QPaintDevice *layoutDevice = nullptr);
    ~ItemPainter();
    void paint(const Item &item);
    void paintPage(const Page &page);
    // How many items were painted from kept glyphs.
    qsizetype reused() const;

private:
    std::unique_ptr<PageShaper> m_shaper;
    std::unique_ptr<PagePainter> m_painter;
};
// The one device every report is laid out on: A4 with the reports' margins at the PDF
// writer's resolution, in `orientation`. The preview, the printer and the PDF file all
// paint its pages, scaled, so they all have the same pages and the same count.
QPrinter *layoutDevice(QPageLayout::Orientation orientation);
// The paper of the layout device and its printable area on it, in its pixels.
QRectF paperRect(QPageLayout::Orientation orientation);
QRectF printableRect(QPageLayout::Orientation orientation);
// Sets `painter` (on a device whose printable area is `target`, in its pixels) to paint a
// page laid out on the layout device there, as large as fits.
void fitPage(QPainter &painter, QPageLayout::Orientation orientation, const QRectF &target);
// The same for pages laid out on an area `laidOut`.
void fitArea(QPainter &painter, const QRectF &laidOut, const QRectF &target);
// Writes the pages made by `layout` to a PDF file.
bool savePdf(const QString &path, QPageLayout::Orientation orientation, const QString &title,
             const std::function<bool(QPrinter *)> &render);
// The texts of each page, one item a line, in painting order.
QStringList pageTexts(const QVector<Page> &pages);

} // namespace zorbin::common::report
