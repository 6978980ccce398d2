#include "common/pageshaper.h"

#include <QTextLayout>

namespace zorbin::common::report {

namespace {

constexpr qsizetype kKeptTexts = 4096;
constexpr qsizetype kSeenTexts = 1 << 16;

} // namespace

QString paintedText(const Item &item)
{
    if (item.role == Role::Label && item.direction == Qt::RightToLeft &&
        item.text.startsWith(QLatin1Char(':')))
        return item.text.mid(1) + QLatin1Char(':');
    return item.text;
}

PageShaper::PageShaper(const QPaintDevice *layoutDevice) : m_device(layoutDevice) {}

PageShaper::~PageShaper() = default;

int PageShaper::fontIndex(const QFont &font, ShapedPage &page)
{
    // A list paints thousands of cells in one font: the last one is asked first.
    if (m_lastFont >= 0 && m_fonts[size_t(m_lastFont)].font == font)
        return m_lastFont;
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i].font == font)
            return m_lastFont = int(i);
    Font added;
    added.font = font;
    const QFont onDevice(font, m_device);
    added.shaper = std::make_unique<LineShaper>(onDevice);
    // The line's height and baseline as the layout gives them for a line of this font.
    QTextLayout probe(QStringLiteral("x"), onDevice);
    probe.beginLayout();
    const QTextLine line = probe.createLine();
    probe.endLayout();
    added.ascent = line.ascent();
    added.height = line.height();
    page.newFonts.append(
        {font.toString(), font.hintingPreference(), QRawFont::fromFont(onDevice).pixelSize()});
    m_fonts.push_back(std::move(added));
    return m_lastFont = int(m_fonts.size() - 1);
}

void PageShaper::shapeItem(const Item &item, ShapedPage &page)
{
    if (item.text.isEmpty())
        return;
    const int index = fontIndex(item.font, page);
    const Font &font = m_fonts[size_t(index)];
    const auto leave = [&]() {
        Item left = item;
        left.font = QFont();
        page.unshaped.append({index, std::move(left)});
    };
    // Only what the layout would place exactly the same way: one line aligned to a side
    // or the middle of its box.
    const Qt::Alignment horizontal = item.alignment & Qt::AlignHorizontal_Mask;
    if (!font.shaper->usable() || (horizontal != Qt::AlignRight && horizontal != Qt::AlignLeft &&
                                   horizontal != Qt::AlignHCenter)) {
        leave();
        return;
    }
    Key key{paintedText(item), index, item.direction};
    const ShapedLine *line = nullptr;
    std::optional<ShapedLine> shaped;
    if (const auto kept = m_kept.constFind(key); kept != m_kept.cend()) {
        ++m_reused;
        line = &*kept;
    } else {
        shaped = font.shaper->shape(key.text, item.direction);
        if (!shaped) {
            leave();
            return;
        }
        line = &*shaped;
        // Kept the second time a text comes.
        if (m_seen.size() >= kSeenTexts)
            m_seen.clear();
        const size_t hash = qHash(key);
        if (m_seen.contains(hash)) {
            if (m_kept.size() >= kKeptTexts)
                m_kept.clear();
            line = &*m_kept.insert(std::move(key), std::move(*shaped));
        } else {
            m_seen.insert(hash);
        }
    }
    const qreal free = item.rect.width() - line->width;
    const qreal x = horizontal == Qt::AlignRight     ? free
                    : horizontal == Qt::AlignHCenter ? free / 2
                                                     : 0;
    GlyphText text;
    text.font = index;
    text.origin = QPointF(item.rect.left() + x,
                          item.rect.top() + (item.rect.height() - font.height) / 2 + font.ascent);
    text.color = item.color;
    text.glyphs = line->glyphs;
    text.positions = line->positions;
    page.texts.append(std::move(text));
}

ShapedPage PageShaper::shape(const Page &page)
{
    ShapedPage shaped;
    shaped.fills = page.fills;
    shaped.rules = page.rules;
    shaped.pictures = page.pictures;
    shaped.texts.reserve(page.items.size());
    for (const Item &item : page.items)
        shapeItem(item, shaped);
    return shaped;
}

} // namespace zorbin::common::report
