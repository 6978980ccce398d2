#pragma once

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <memory>
#include <optional>

struct hb_buffer_t;
struct hb_font_t;

namespace zorbin::common::report {

// One line of text shaped: its glyphs from the line's left end, on the baseline at y = 0.
struct ShapedLine
{
    QList<quint32> glyphs;
    QList<QPointF> positions;
    qreal width = 0; // the line's advance
};

// Shapes single lines in one font as Qt's text layout shapes them (HarfBuzz on the font's
// own tables, then the Unicode bidirectional order of the runs through FriBidi), without
// the layout's setup for every text: a long report shapes tens of thousands of cells, and
// this takes less than half the time. A text it cannot answer for exactly (a character the
// font lacks, control or direction marks, blanks at an end) is left to the text layout.
// Each shaper belongs to the thread that made it.
class LineShaper
{
public:
    // `deviceFont` is the font as resolved for the device the glyphs are placed on.
    explicit LineShaper(const QFont &deviceFont);
    // A font Qt already found, at its pixel size, its style its own.
    explicit LineShaper(const QRawFont &font);
    ~LineShaper();
    LineShaper(const LineShaper &) = delete;
    LineShaper &operator=(const LineShaper &) = delete;

    // False when the font is not one it can read (no OpenType tables, or a style Qt makes
    // up by slanting or emboldening).
    bool usable() const { return m_font != nullptr; }
    std::optional<ShapedLine> shape(const QString &text, Qt::LayoutDirection direction) const;

private:
    void open(const QRawFont &font);

    hb_font_t *m_font = nullptr;
    hb_buffer_t *m_buffer = nullptr;
    qreal m_unit = 1.0 / 64; // pixels per HarfBuzz position unit
};

} // namespace zorbin::common::report
