#pragma once

#include "mainwin/sitelistmodel.h"

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace zorbin::mainwin {

// Paints the cells of the site list as SiteCellDelegate lays them out (each in its text's
// own direction, cut at its end), but keeps the laid-out text of the cells it has painted: typing
// in the search box repaints the whole grid, and laying out Persian and Latin text again for every
// cell was most of that cost.
class SiteListDelegate : public SiteCellDelegate
{
    Q_OBJECT
public:
    // Laid-out texts kept at most; the rows of a few screens.
    static constexpr int MaxCachedTexts = 4096;

    using SiteCellDelegate::SiteCellDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

    int cachedTexts() const { return int(m_texts.size()); }

private:
    struct Key
    {
        QString text;
        int width;
        int alignment;
        int direction;
        int elide;
        bool operator==(const Key &other) const = default;
        friend size_t qHash(const Key &key, size_t seed = 0)
        {
            return qHashMulti(seed, key.text, key.width, key.alignment, key.direction, key.elide);
        }
    };

    const QStaticText &laidOut(const QStyleOptionViewItem &option, const QString &text,
                               int width) const;

    mutable QHash<Key, QStaticText> m_texts;
    mutable QFont m_font; // the font the kept texts were laid out in
};

} // namespace zorbin::mainwin
