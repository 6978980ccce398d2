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

FontShaper::FontShaper(std::unique_ptr<LineShaper> shaper, qreal ascent, qreal height)
    : m_shaper(std::move(shaper)), m_ascent(ascent), m_height(height)
{
}

std::optional<GlyphText> FontShaper::place(const Item &item, int font)
{
    // Only what the layout places the same way: one line aligned to a side or the middle
    // of its box.
    const Qt::Alignment horizontal = item.alignment & Qt::AlignHorizontal_Mask;
    if (!m_shaper->usable() || (horizontal != Qt::AlignRight && horizontal != Qt::AlignLeft &&
                                horizontal != Qt::AlignHCenter))
        return std::nullopt;
    Key key{paintedText(item), item.direction};
    const ShapedLine *line = nullptr;
    std::optional<ShapedLine> shaped;
    if (const auto kept = m_kept.constFind(key); kept != m_kept.cend()) {
        ++m_reused;
        line = &*kept;
    } else {
        shaped = m_shaper->shape(key.text, item.direction);
        if (!shaped)
            return std::nullopt;
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
    text.font = font;
    text.origin = QPointF(item.rect.left() + x,
                          item.rect.top() + (item.rect.height() - m_height) / 2 + m_ascent);
    text.color = item.color;
    text.glyphs = line->glyphs;
    text.positions = line->positions;
    return text;
}

PageShaper::PageShaper(const QPaintDevice *layoutDevice) : m_device(layoutDevice) {}

PageShaper::~PageShaper() = default;

qsizetype PageShaper::reused() const
{
    qsizetype reused = 0;
    for (const Font &font : m_fonts)
        reused += font.shaper->reused();
    return reused;
}

int PageShaper::fontIndex(const QFont &font, ShapedPage &page)
{
    // A list paints thousands of cells in one font: the last one is asked first.
    if (m_lastFont >= 0 && m_fonts[size_t(m_lastFont)].font == font)
        return m_lastFont;
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i].font == font)
            return m_lastFont = int(i);
    const QFont onDevice(font, m_device);
    auto shaper = std::make_unique<LineShaper>(onDevice);
    // The line's height and baseline as the layout gives them for a line of this font.
    QTextLayout probe(QStringLiteral("x"), onDevice);
    probe.beginLayout();
    const QTextLine line = probe.createLine();
    probe.endLayout();
    page.newFonts.append({font.toString(), font.hintingPreference(),
                          QRawFont::fromFont(onDevice).pixelSize(), line.ascent(), line.height(),
                          shaper->usable()});
    m_fonts.push_back(
        {font, std::make_unique<FontShaper>(std::move(shaper), line.ascent(), line.height())});
    return m_lastFont = int(m_fonts.size() - 1);
}

ShapedPage PageShaper::shape(const Page &page, bool shapeTexts)
{
    ShapedPage shaped;
    shaped.fills = page.fills;
    shaped.rules = page.rules;
    shaped.pictures = page.pictures;
    shaped.texts.reserve(page.items.size());
    for (const Item &item : page.items) {
        if (item.text.isEmpty())
            continue;
        const int index = fontIndex(item.font, shaped);
        std::optional<GlyphText> text;
        if (shapeTexts)
            text = m_fonts[size_t(index)].shaper->place(item, index);
        if (text) {
            shaped.texts.append(std::move(*text));
        } else {
            Item left = item;
            left.font = QFont();
            shaped.unshaped.append({index, std::move(left)});
        }
    }
    return shaped;
}

} // namespace zorbin::common::report
