#pragma once

#include "common/pageshaper.h"

#include <QFont>
#include <QGlyphRun>
#include <QRawFont>
#include <memory>
#include <vector>

class QPainter;

namespace zorbin::common::report {

// Paints shaped pages on a painter of its own thread: fills, then pictures and rules,
// then texts, as laid out on the layout device and drawn through the painter's transform.
// Texts left to it are shaped here, with fonts of its own thread.
class PagePainter
{
public:
    PagePainter(QPainter &painter, const QPaintDevice *layoutDevice);
    void paint(const ShapedPage &page);

private:
    struct Font
    {
        QFont font;                         // as described, for the texts left to the layout
        QRawFont glyphs;                    // at the layout device's size, for the shaped ones
        std::unique_ptr<FontShaper> shaper; // for the texts left to this side
    };
    void paintText(const GlyphText &text);
    QPainter &m_painter;
    const QPaintDevice *m_device;
    std::vector<Font> m_fonts;
    QGlyphRun m_run;
};

} // namespace zorbin::common::report
