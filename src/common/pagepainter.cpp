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
        m_fonts.push_back(std::move(font));
    }
    for (const QRectF &fill : page.fills)
        m_painter.fillRect(fill, QColor(232, 236, 242));
    for (const Picture &picture : page.pictures)
        QSvgRenderer(picture.resource).render(&m_painter, picture.rect);
    m_painter.setPen(QPen(QColor(140, 140, 140), mm(m_device, 0.2)));
    for (const QLineF &rule : page.rules)
        m_painter.drawLine(rule);
    QGlyphRun run;
    for (const GlyphText &text : page.texts) {
        run.setRawFont(m_fonts[size_t(text.font)].glyphs);
        run.setGlyphIndexes(text.glyphs);
        run.setPositions(text.positions);
        m_painter.setPen(text.color);
        m_painter.drawGlyphRun(text.origin, run);
    }
    for (const auto &[index, item] : page.unshaped)
        paintByLayout(m_painter, item, QFont(m_fonts[size_t(index)].font, m_device));
}

} // namespace zorbin::common::report
