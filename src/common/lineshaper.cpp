#include "common/lineshaper.h"

#include <QFontInfo>
#include <QHash>
#include <QRawFont>

#include <algorithm>
#include <vector>

extern "C" {
#include <fribidi.h>
}
#include <hb-ot.h>
#include <hb.h>

namespace zorbin::common::report {

namespace {

// The font's tables as HarfBuzz asks for them, read from Qt's raw font once each: some
// (among them ones the font does not have) are asked for again at every line.
struct Tables
{
    QRawFont font;
    QHash<hb_tag_t, QByteArray> read;
};

hb_blob_t *tableOf(hb_face_t *, hb_tag_t tag, void *data)
{
    auto *tables = static_cast<Tables *>(data);
    auto found = tables->read.find(tag);
    if (found == tables->read.end()) {
        const char name[5] = {char(tag >> 24), char(tag >> 16), char(tag >> 8), char(tag), 0};
        found = tables->read.insert(tag, tables->font.fontTable(name));
    }
    if (found->isEmpty())
        return hb_blob_get_empty();
    return hb_blob_create(found->constData(), unsigned(found->size()), HB_MEMORY_MODE_READONLY,
                          nullptr, nullptr);
}

// Characters whose handling the text layout decides in its own way: controls, and the
// marks and embeddings that steer the bidirectional order.
bool leftToLayout(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

struct Run
{
    int start;
    int length;
    FriBidiLevel level;
};

} // namespace

LineShaper::LineShaper(const QFont &deviceFont)
{
    const QRawFont raw = QRawFont::fromFont(deviceFont);
    // A bold or slanted style the font has no face for is made up by Qt when it paints.
    const QFontInfo info(deviceFont);
    if ((info.weight() >= QFont::DemiBold) != (raw.weight() >= QFont::DemiBold) ||
        (info.style() != QFont::StyleNormal) != (raw.style() != QFont::StyleNormal))
        return;
    open(raw);
}

LineShaper::LineShaper(const QRawFont &font)
{
    open(font);
}

void LineShaper::open(const QRawFont &raw)
{
    if (!raw.isValid() || raw.fontTable("head").isEmpty())
        return;
    hb_face_t *face = hb_face_create_for_tables(
        tableOf, new Tables{raw, {}}, [](void *owned) { delete static_cast<Tables *>(owned); });
    m_font = hb_font_create(face);
    hb_face_destroy(face);
    const int scale = qRound(raw.pixelSize() * 64);
    hb_font_set_scale(m_font, scale, scale);
    m_unit = raw.pixelSize() / scale;
    m_buffer = hb_buffer_create();
}

LineShaper::~LineShaper()
{
    hb_buffer_destroy(m_buffer);
    hb_font_destroy(m_font);
}

std::optional<ShapedLine> LineShaper::shape(const QString &text,
                                            Qt::LayoutDirection direction) const
{
    if (!m_font)
        return std::nullopt;
    ShapedLine line;
    if (text.isEmpty())
        return line;
    if (text.front().isSpace() || text.back().isSpace())
        return std::nullopt; // the layout hangs blanks at the ends in its own way
    const QList<uint> chars = text.toUcs4();
    const int n = int(chars.size());
    for (const uint c : chars)
        if (leftToLayout(c))
            return std::nullopt;
    const auto *codes = reinterpret_cast<const FriBidiChar *>(chars.constData());

    // The paragraph's levels, in the direction the item is written.
    std::vector<FriBidiCharType> types(static_cast<size_t>(n));
    std::vector<FriBidiBracketType> brackets(static_cast<size_t>(n));
    std::vector<FriBidiLevel> levels(static_cast<size_t>(n));
    fribidi_get_bidi_types(codes, n, types.data());
    fribidi_get_bracket_types(codes, n, types.data(), brackets.data());
    FriBidiParType base = direction == Qt::RightToLeft ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_LTR;
    if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), n, &base,
                                            levels.data()) == 0)
        return std::nullopt;

    // Runs of one level and one script, as the layout itemises them: common characters
    // (blanks, digits, punctuation) go with the script before them.
    hb_unicode_funcs_t *unicode = hb_unicode_funcs_get_default();
    std::vector<Run> runs;
    hb_script_t runScript = HB_SCRIPT_COMMON;
    for (int i = 0; i < n; ++i) {
        hb_script_t script = hb_unicode_script(unicode, chars[i]);
        const bool neutral = script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED ||
                             script == HB_SCRIPT_UNKNOWN;
        if (!runs.empty() && runs.back().level == levels[size_t(i)] &&
            (neutral || runScript == HB_SCRIPT_COMMON || script == runScript)) {
            ++runs.back().length;
            if (!neutral)
                runScript = script;
            continue;
        }
        if (!runs.empty() && runs.back().level != levels[size_t(i)])
            runScript = HB_SCRIPT_COMMON;
        if (!neutral)
            runScript = script;
        runs.push_back({i, 1, levels[size_t(i)]});
    }

    // Reversed from the highest level to the lowest odd one: the runs in visual order.
    FriBidiLevel highest = 0, lowestOdd = 0xFF;
    for (const Run &run : runs) {
        highest = std::max(highest, run.level);
        if (run.level % 2 == 1)
            lowestOdd = std::min(lowestOdd, run.level);
    }
    for (int level = highest; level >= lowestOdd && level > 0; --level) {
        for (auto it = runs.begin(); it != runs.end();) {
            if (it->level < level) {
                ++it;
                continue;
            }
            auto end = std::find_if(it, runs.end(), [&](const Run &r) { return r.level < level; });
            std::reverse(it, end);
            it = end;
        }
    }

    qreal x = 0;
    for (const Run &run : runs) {
        hb_buffer_clear_contents(m_buffer);
        hb_buffer_add_utf32(m_buffer, chars.constData(), n, unsigned(run.start), run.length);
        hb_buffer_set_direction(m_buffer, run.level % 2 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        hb_buffer_guess_segment_properties(m_buffer);
        hb_shape(m_font, m_buffer, nullptr, 0);
        unsigned count = 0;
        const hb_glyph_info_t *infos = hb_buffer_get_glyph_infos(m_buffer, &count);
        const hb_glyph_position_t *places = hb_buffer_get_glyph_positions(m_buffer, &count);
        for (unsigned g = 0; g < count; ++g) {
            if (infos[g].codepoint == 0)
                return std::nullopt; // a character the font lacks: the layout finds another
            line.glyphs.append(infos[g].codepoint);
            line.positions.append(
                QPointF(x + places[g].x_offset * m_unit, -places[g].y_offset * m_unit));
            x += places[g].x_advance * m_unit;
        }
    }
    line.width = x;
    return line;
}

} // namespace zorbin::common::report
