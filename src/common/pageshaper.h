#pragma once

#include "common/lineshaper.h"
#include "common/reportpainter.h"

#include <QColor>
#include <QHash>
#include <QSet>
#include <memory>
#include <vector>

namespace zorbin::common::report {

// A font as the painting side makes it again: plain values, no font object shared
// between threads.
struct FontDescription
{
    QString description; // QFont::toString()
    QFont::HintingPreference hinting = QFont::PreferDefaultHinting;
    qreal pixelSize = 0; // on the layout device
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

// A page ready to paint: its texts shaped where that could be done exactly, the others
// (with their font as an index too) left to the painting side's text layout.
struct ShapedPage
{
    QVector<QRectF> fills;
    QVector<QLineF> rules;
    QVector<Picture> pictures;
    QVector<GlyphText> texts;
    QVector<std::pair<int, Item>> unshaped; // the item's own font is left empty
    QVector<FontDescription> newFonts;      // fonts first used on this page, in index order
};

// Shapes the texts of laid-out pages on the thread that lays them out, keeping the
// glyphs of texts that come back (the headings on every page, a list's subjects) so that
// each is shaped once. Texts seen once are not kept, and both what it keeps and what it
// remembers having seen are bounded.
class PageShaper
{
public:
    // Texts are shaped for `layoutDevice`, the device the pages were laid out on.
    explicit PageShaper(const QPaintDevice *layoutDevice);
    ~PageShaper();

    ShapedPage shape(const Page &page);
    // How many texts came from kept glyphs.
    qsizetype reused() const { return m_reused; }

private:
    struct Font
    {
        QFont font;
        std::unique_ptr<LineShaper> shaper;
        qreal ascent = 0;
        qreal height = 0;
    };
    struct Key
    {
        QString text;
        int font;
        Qt::LayoutDirection direction;
        bool operator==(const Key &) const = default;
        friend size_t qHash(const Key &key, size_t seed = 0)
        {
            return qHashMulti(seed, key.text, key.font, int(key.direction));
        }
    };
    int fontIndex(const QFont &font, ShapedPage &page);
    void shapeItem(const Item &item, ShapedPage &page);

    const QPaintDevice *m_device;
    std::vector<Font> m_fonts;
    int m_lastFont = -1;
    QHash<Key, ShapedLine> m_kept;
    QSet<size_t> m_seen;
    qsizetype m_reused = 0;
};

// The text an item shows: labels are held with their colon first, as they read in a
// left-to-right box; written right to left the colon goes after the words.
QString paintedText(const Item &item);

} // namespace zorbin::common::report
