#pragma once

#include "common/lineshaper.h"
#include "common/reportpainter.h"

#include <QColor>
#include <QHash>
#include <QSet>
#include <memory>
#include <optional>
#include <vector>

namespace zorbin::common::report {

// A font as the painting side makes it again: plain values, no font object shared
// between threads.
struct FontDescription
{
    QString description; // QFont::toString()
    QFont::HintingPreference hinting = QFont::PreferDefaultHinting;
    // On the layout device: the size, and a line's baseline and height as the layout
    // gives them.
    qreal pixelSize = 0;
    qreal ascent = 0;
    qreal height = 0;
    bool shapeable = false; // a LineShaper reads it
};

// A line of text shaped into glyphs, placed on the layout device.
struct GlyphText
{
    int font = 0; // index into the fonts the shaper has described
    QPointF origin;
    QColor color;
    QList<quint32> glyphs;
    QList<QPointF> positions; // from the origin; the baseline's own height included
};

// A page ready to paint: its texts shaped where that was done, the others (with their font
// as an index too) left to the painting side, which shapes them itself or, where that
// cannot be done exactly, lays them out.
struct ShapedPage
{
    QVector<QRectF> fills;
    QVector<QLineF> rules;
    QVector<Picture> pictures;
    QVector<GlyphText> texts;
    QVector<std::pair<int, Item>> unshaped; // the item's own font is left empty
    QVector<FontDescription> newFonts;      // fonts first used on this page, in index order
};

// Shapes and places the lines of one font, on whichever thread made it, keeping the
// glyphs of texts that come back (the headings on every page, a list's subjects) so that
// each is shaped once. Texts seen once are not kept, and both what it keeps and what it
// remembers having seen are bounded.
class FontShaper
{
public:
    FontShaper(std::unique_ptr<LineShaper> shaper, qreal ascent, qreal height);
    // The item's line placed in its box, or nothing when only the layout places it exactly.
    std::optional<GlyphText> place(const Item &item, int font);
    qsizetype reused() const { return m_reused; }

private:
    struct Key
    {
        QString text;
        Qt::LayoutDirection direction;
        bool operator==(const Key &) const = default;
        friend size_t qHash(const Key &key, size_t seed = 0)
        {
            return qHashMulti(seed, key.text, int(key.direction));
        }
    };
    std::unique_ptr<LineShaper> m_shaper;
    qreal m_ascent;
    qreal m_height;
    QHash<Key, ShapedLine> m_kept;
    QSet<size_t> m_seen;
    qsizetype m_reused = 0;
};

// Turns laid-out pages into pages to paint, on the thread that lays them out: the fonts
// described as plain values, and the texts shaped unless the painting side is to do it.
class PageShaper
{
public:
    // Texts are shaped for `layoutDevice`, the device the pages were laid out on.
    explicit PageShaper(const QPaintDevice *layoutDevice);
    ~PageShaper();

    // With `shapeTexts` false the texts are left to the painting side.
    ShapedPage shape(const Page &page, bool shapeTexts = true);
    // How many texts came from kept glyphs.
    qsizetype reused() const;

private:
    struct Font
    {
        QFont font;
        std::unique_ptr<FontShaper> shaper;
    };
    int fontIndex(const QFont &font, ShapedPage &page);

    const QPaintDevice *m_device;
    std::vector<Font> m_fonts;
    int m_lastFont = -1;
};

// The text an item shows: labels are held with their colon first, as they read in a
// left-to-right box; written right to left the colon goes after the words.
QString paintedText(const Item &item);

} // namespace zorbin::common::report
