#include "common/pagepainter.h"

#include <QGlyphRun>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextLayout>

namespace zorbin::common::report {

PagePainter::PagePainter(QPainter &painter, const QPaintDevice *layoutDevice)
    : m_painter(painter), m_device(layoutDevice)
{
}

void PagePainter::paint(const ShapedPage &page)
{
    for (const FontDescription &described : page.newFonts) {
        Font font;
        font.font.fromString(described.description);
        font.font.setHintingPreference(described.hinting);
        font.glyphs = QRawFont::fromFont(font.font);
        font.glyphs.setPixelSize(described.pixelSize);
        if (described.shapeable)
            font.shaper = std::make_unique<FontShaper>(std::make_unique<LineShaper>(font.glyphs),
                                                       described.ascent, described.height);
        m_fonts.push_back(std::move(font));
    }
    for (const QRectF &fill : page.fills)
        m_painter.fillRect(fill, QColor(232, 236, 242));
    for (const Picture &picture : page.pictures)
        QSvgRenderer(picture.resource).render(&m_painter, picture.rect);
    m_painter.setPen(QPen(QColor(140, 140, 140), mm(m_device, 0.2)));
    for (const QLineF &rule : page.rules)
        m_painter.drawLine(rule);
    for (const GlyphText &text : page.texts)
        paintText(text);
    for (const auto &[index, item] : page.unshaped) {
        Font &font = m_fonts[size_t(index)];
        std::optional<GlyphText> text;
        if (font.shaper)
            text = font.shaper->place(item, index);
        if (text)
            paintText(*text);
        else
            paintByLayout(m_painter, item, QFont(font.font, m_device));
    }
}

void PagePainter::paintText(const GlyphText &text)
{
    m_run.setRawFont(m_fonts[size_t(text.font)].glyphs);
    m_run.setGlyphIndexes(text.glyphs);
    m_run.setPositions(text.positions);
    m_painter.setPen(text.color);
    m_painter.drawGlyphRun(text.origin, m_run);
}

} // namespace zorbin::common::report
